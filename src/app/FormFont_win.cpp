#include "app/FormFont_win.h"

#include <cwchar>
#include <initializer_list>

namespace hostdeck {

namespace {

int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool systemHasFont(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    const ScreenDC dc;
    EnumFontFamiliesExW(dc.get(), &wanted, noteFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace

UniqueFont createFormFont(int points, UINT dpi, const wchar_t* face) {
    LOGFONTW logFont{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont);
    if (systemHasFont(face)) {
        wcsncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
        logFont.lfCharSet = DEFAULT_CHARSET;
    }
    logFont.lfHeight = -MulDiv(points, static_cast<int>(dpi), 72);
    logFont.lfWidth = 0;
    return UniqueFont(CreateFontIndirectW(&logFont));
}

int wrappedTextHeight(HDC dc, HFONT font, std::wstring_view text, int width) {
    const SelectedObject selected(dc, font);
    RECT rect{0, 0, width, 0};
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return rect.bottom - rect.top;
}

UniqueFont smallerFontToFit(HDC dc, HFONT font, std::wstring_view text, SIZE box) {
    if (wrappedTextHeight(dc, font, text, box.cx) <= box.cy) return {};
    LOGFONTW logFont{};
    GetObjectW(font, sizeof logFont, &logFont);
    const LONG height = logFont.lfHeight < 0 ? -logFont.lfHeight : logFont.lfHeight;
    // A raster face such as MS Sans Serif has no smaller sizes: then the system's dialog
    // face, which scales.
    LOGFONTW scalable{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof scalable, &scalable);
    for (const wchar_t* face : {logFont.lfFaceName, scalable.lfFaceName}) {
        LOGFONTW candidateFont = logFont;
        wcsncpy(candidateFont.lfFaceName, face, LF_FACESIZE - 1);
        for (LONG smaller = height - 1; smaller >= 6; --smaller) {
            candidateFont.lfHeight = -smaller;
            UniqueFont candidate(CreateFontIndirectW(&candidateFont));
            if (wrappedTextHeight(dc, candidate.get(), text, box.cx) <= box.cy) return candidate;
        }
    }
    return {};
}

}  // namespace hostdeck
