#include "texts/UserTexts.h"

#include <algorithm>
#include <vector>

namespace hostdeck::texts {

std::wstring fillValues(std::wstring_view text, const std::wstring_view* values,
                        std::size_t count) {
    std::wstring filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n = i + 2 < text.size() && text[i] == L'{' && text[i + 2] == L'}'
                                  ? static_cast<std::size_t>(text[i + 1] - L'1')
                                  : count;
        if (n < count) {
            filled += values[n];
            i += 2;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

std::wstring fitted(std::wstring_view text, std::size_t rowChars, std::size_t mostRows) {
    const std::size_t most = rowChars * kMostRowsALine;
    std::vector<std::wstring_view> lines;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(L'\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::wstring fitted;
    std::size_t rows = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::wstring_view line = lines[i];
        const std::size_t takes =
            std::max<std::size_t>(1, (std::min(line.size(), most) + rowChars - 1) / rowChars);
        // A row is kept for saying how many lines were left out, unless this line is the last.
        if (rows + takes > mostRows - (i + 1 < lines.size() ? 1 : 0)) {
            fitted += fill(kMoreMessageLines, {number(lines.size() - i)});
            break;
        }
        rows += takes;
        if (i) fitted += L'\n';
        fitted += shortened(line, most);
    }
    return fitted;
}

std::wstring shortened(std::wstring_view text, std::size_t most) {
    static constexpr std::wstring_view kLeftOut = L"...";
    if (text.size() <= most) return std::wstring(text);
    const std::size_t head = (most - kLeftOut.size()) / 2;
    std::wstring cut(text.substr(0, head));
    cut += kLeftOut;
    cut += text.substr(text.size() - (most - kLeftOut.size() - head));
    return cut;
}

}  // namespace hostdeck::texts
