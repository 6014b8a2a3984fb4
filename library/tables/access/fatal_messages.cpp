#include "tables/access/fatal_messages.h"

#include "common/fatal_error.h"
#include "common/fixed_text.h"

namespace pm {

namespace {
const char* const kCrLf = "\r\n";

std::string directoryPart(const std::string& name) {
    auto slash = name.find_last_of('/');
    return slash == std::string::npos ? name : name.substr(0, slash + 1);
}
}  // namespace

std::string centred(const std::string& textIn, std::size_t width) {
    std::string text(trimRight(textIn));
    std::size_t start = text.find_first_not_of(' ');
    text = start == std::string::npos ? std::string() : text.substr(start);
    if (text.size() >= width) return text;
    std::size_t left = (width - text.size()) / 2;
    return std::string(left, ' ') + text + std::string(width - text.size() - left, ' ');
}

void fatalFileCannotBeCreated(const std::string& name, const std::string& reason) {
    // The reason (a full disk, a read-only directory) keeps the message from
    // sending the person looking for a file that was never the trouble.
    fatal("File Open Error", "The file " + name + " is missing!" + kCrLf +
                                 "This file cannot be created by the program" + kCrLf +
                                 (reason.empty() ? std::string() : reason + kCrLf) + "and Postmoor will terminate.");
}

void fatalPathNotFound(const std::string& name) {
    fatal("Path Not Found",
          "The path " + directoryPart(name) + " does not exist." + kCrLf + "Postmoor will terminate.",
          "Check your directory setup in Preferences and run File/Rebuild.");
}

void fatalAccessDenied(const std::string& name) {
    fatal(" File Open Error - Access denied",
          "The file " + name + " cannot be opened!" + kCrLf + "Postmoor will terminate.",
          "Check your network access rights or the possible need for SHARE or VSHARE");
}

void fatalInvalidFileName(const std::string& name) {
    fatal("Invalid File Name Error", "The file " + name + " cannot be opened." + kCrLf +
                                         "The filename is not a valid DOS file name " + kCrLf +
                                         "Postmoor will terminate.");
}

void fatalBlankFileName(const std::string& name) {
    fatal("Invalid File Name Error",
          "The file " + name + " cannot be opened." + kCrLf +
              "The filename is not a valid DOS file name or the path does not exist " + kCrLf +
              "Postmoor will terminate.");
}

void fatalRebuildFailed(const std::string& name) {
    fatal("File Rebuild Error",
          "The file " + name + " cannot be rebuilt." + kCrLf + "Postmoor will terminate.");
}

void fatalInvalidDeclaration(const std::string& name) {
    fatal(" File Open Error - Invalid record declaration",
          "The file " + name + " cannot be opened" + kCrLf + "as the file definition is incorrect." +
              kCrLf + "Postmoor will terminate.");
}

void fatalOpenError(const std::string& name, int number, const std::string& text) {
    fatal("File Open Error", "The file " + name + " cannot be opened." + kCrLf + "Error no " +
                                 std::to_string(number) + kCrLf + text + kCrLf +
                                 "Postmoor will terminate.");
}

void fatalUnknownTable(int number) {
    fatal("Program Failure!",
          centred("File no " + std::to_string(number) + " not defined!", 40) + kCrLf +
              centred("Postmoor will terminate!", 40),
          "Program Failure!");
}

void fatalCannotEmpty(const std::string& name) {
    fatal("File Empty Error", "The file " + name + " cannot be emptied." + kCrLf +
                                  "Exclusive access not granted " + kCrLf +
                                  "Postmoor will terminate.");
}

}  // namespace pm
