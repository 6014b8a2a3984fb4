// The program engine's version, shown in the About box and by --version.
namespace pm {
const char* programVersion() { return "4.01"; }
}  // namespace pm
