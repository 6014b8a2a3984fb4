#include "import/store/header_words.h"

#include "import/internet/encoded_words.h"

namespace pm {

void decodeHeaderWords(std::string& text) {
    if (text.find("=?") == std::string::npos) return;
    text = inet::decodeEncodedWords(text);
}

}  // namespace pm
