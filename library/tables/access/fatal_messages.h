#pragma once
// The program-ending messages of file access, in one place.
#include <string>

namespace pm {

// `reason`: why the create failed (the storage's words), a line of its own.
[[noreturn]] void fatalFileCannotBeCreated(const std::string& name, const std::string& reason = {});
[[noreturn]] void fatalPathNotFound(const std::string& name);
[[noreturn]] void fatalAccessDenied(const std::string& name);
[[noreturn]] void fatalInvalidFileName(const std::string& name);
[[noreturn]] void fatalBlankFileName(const std::string& name);
[[noreturn]] void fatalRebuildFailed(const std::string& name);
[[noreturn]] void fatalInvalidDeclaration(const std::string& name);
[[noreturn]] void fatalOpenError(const std::string& name, int number, const std::string& text);
[[noreturn]] void fatalUnknownTable(int number);
[[noreturn]] void fatalCannotEmpty(const std::string& name);

// `text` trimmed and centred in a field of `width` characters.
std::string centred(const std::string& text, std::size_t width);

}  // namespace pm
