#include "editor/model/UpperCase.h"

#include "platform/CodePageTables.h"

#include <array>
#include <atomic>

namespace lorvane {
namespace {

constexpr std::array<unsigned char, 256> MakeAsciiTable() {
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<unsigned char>(i >= 'a' && i <= 'z' ? i - 'a' + 'A' : i);
    return table;
}

constexpr std::array<unsigned char, 256> kAsciiTable = MakeAsciiTable();

// Only the user interface thread installs or uses the function, but an
// atomic keeps a stray install from another thread well defined.
std::atomic<TUpperCaseFunction> userFunction{nullptr};

} // namespace

void SetUserUpperCase(TUpperCaseFunction function) noexcept {
    userFunction.store(function);
}

TUpperCaseFunction UserUpperCase() noexcept {
    return userFunction.load();
}

const unsigned char* UpperCaseTable(TrzUpperCase type) noexcept {
    switch (type) {
    case rzuAnsi:
        return cp::UpperCase1251Table();
    case rzuUserDefined:
        return UserUpperCase() ? nullptr : kAsciiTable.data();
    case rzuAscii:
        break;
    }
    return kAsciiTable.data();
}

void UpperCaseInPlace(TrzUpperCase type, char* text, std::size_t length) {
    if (length == 0) return;
    if (const unsigned char* table = UpperCaseTable(type)) {
        for (std::size_t i = 0; i < length; ++i)
            text[i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
        return;
    }
    if (TUpperCaseFunction function = UserUpperCase()) {
        function(text, length);
    } else {
        // Uninstalled between the two loads above: fall back like an unset function.
        UpperCaseInPlace(rzuAscii, text, length);
    }
}

void UpperCaseCopy(TrzUpperCase type, std::string_view source, std::string& target) {
    target.resize(source.size());
    if (const unsigned char* table = UpperCaseTable(type)) {
        const auto* in = reinterpret_cast<const unsigned char*>(source.data());
        auto* out = reinterpret_cast<unsigned char*>(target.data());
        for (std::size_t i = 0; i < source.size(); ++i)
            out[i] = table[in[i]];
        return;
    }
    target.assign(source);
    UpperCaseInPlace(type, target.data(), target.size());
}

std::string UpperCased(TrzUpperCase type, std::string_view text) {
    std::string copy(text);
    UpperCaseInPlace(type, copy.data(), copy.size());
    return copy;
}

} // namespace lorvane
