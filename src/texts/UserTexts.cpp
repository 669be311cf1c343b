#include "texts/UserTexts.h"

namespace hostdeck::texts {

std::wstring fill(std::wstring_view text, std::initializer_list<std::wstring_view> values) {
    std::wstring filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n = i + 2 < text.size() && text[i] == L'{' && text[i + 2] == L'}'
                                  ? static_cast<std::size_t>(text[i + 1] - L'1')
                                  : values.size();
        if (n < values.size()) {
            filled += values.begin()[n];
            i += 2;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

}  // namespace hostdeck::texts
