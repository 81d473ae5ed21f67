#pragma once
// How text and keys are upper-cased when a comparison ignores case. The
// ASCII and Windows-1251 forms are byte tables; the user-defined form is one
// process-wide function an application may install (ASCII while none is).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lorvane {

enum TrzUpperCase : std::uint8_t { rzuAscii, rzuAnsi, rzuUserDefined };

// Upper-cases `length` bytes in place; it must not change their number.
using TUpperCaseFunction = void (*)(char* text, std::size_t length);

// Installs the function rzuUserDefined uses; nullptr restores the ASCII fallback.
void SetUserUpperCase(TUpperCaseFunction function) noexcept;
TUpperCaseFunction UserUpperCase() noexcept;

// The byte table of the type, or nullptr when the type is rzuUserDefined and
// a function is installed (the text then has to go through that function).
const unsigned char* UpperCaseTable(TrzUpperCase type) noexcept;

void UpperCaseInPlace(TrzUpperCase type, char* text, std::size_t length);
std::string UpperCased(TrzUpperCase type, std::string_view text);
// Replaces target with the upper-cased source in one pass (the matchers'
// per-paragraph copies).
void UpperCaseCopy(TrzUpperCase type, std::string_view source, std::string& target);

} // namespace lorvane
