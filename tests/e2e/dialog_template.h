// Reading the program's dialog templates field by field, as the exe carries them.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

namespace e2e {

// Walks a dialog template (its texts are ASCII); reads past the end yield zeros.
struct TemplateReader {
    const std::string& bytes;
    size_t at = 0;

    template <typename T>
    T Next() {
        T value{};
        if (at + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + at, sizeof(T));
        at += sizeof(T);
        return value;
    }
    std::string Text() {
        std::string text;
        for (WORD c = Next<WORD>(); c != 0; c = Next<WORD>()) text += static_cast<char>(c);
        return text;
    }
    // "#N" for the ordinal N.
    std::string TextOrOrdinal() {
        if (Next<WORD>() == 0xFFFF) return "#" + std::to_string(Next<WORD>());
        at -= sizeof(WORD);
        return Text();
    }
};

}  // namespace e2e
