// Text output: fonts, drawing UTF-8 text with anti-aliased glyphs, measuring, and laying text
// out in a rectangle.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gdi/font_face.h"
#include "gdi/gdi.h"
#include "gdi/pixels.h"

namespace zorbalin {

using namespace gdi_detail;

namespace {

TFontFace* FaceOf(HDC Hdc) {
    if (!Hdc || !Hdc->Font)
        return nullptr;
    TGdiFont& font = *Hdc->Font;
    if (!font.Face)
        font.Face = TFontFace::Resolve(font.LogFont);
    return font.Face.get();
}

std::size_t Length(const char* Text, int Count) {
    if (!Text)
        return 0;
    return Count < 0 ? std::strlen(Text) : static_cast<std::size_t>(Count);
}

int Advance(TFontFace& Face, const std::u32string& Text) {
    int width = 0;
    for (char32_t c : Text)
        width += Face.GlyphFor(c).Advance;
    return width;
}

inline BYTE Mix(BYTE Ink, BYTE Under, unsigned A) {
    return BYTE((Ink * A + Under * (255 - A) + 127) / 255);
}

// Blends the glyphs of `text` in the text colour, the cell's top-left at device (x, y), inside
// the device rectangle `clip`.
void DrawGlyphs(HDC Hdc, TFontFace& Face, LONG X, LONG Y, const std::u32string& Text,
                const RECT& Clip) {
    TBitmapBits s = BitsOf(*Hdc->Bitmap);
    const COLORREF ink = Hdc->State.TextColor;
    const BYTE r = GetRValue(ink), g = GetGValue(ink), b = GetBValue(ink);
    LONG pen = X;
    const LONG baseline = Y + Face.Ascent();
    for (char32_t c : Text) {
        const TGlyph& glyph = Face.GlyphFor(c);
        for (int gy = 0; gy < glyph.Height; ++gy) {
            LONG py = baseline - glyph.top + gy;
            if (py < Clip.top || py >= Clip.bottom)
                continue;
            BYTE* row = s.Row(py);
            const std::uint8_t* cover =
                glyph.Coverage.data() + static_cast<std::size_t>(gy) * glyph.Width;
            for (int gx = 0; gx < glyph.Width; ++gx) {
                unsigned a = cover[gx];
                LONG px = pen + glyph.left + gx;
                if (a == 0 || px < Clip.left || px >= Clip.right)
                    continue;
                if (s.BitCount >= 24) {
                    BYTE* p = row + px * (s.BitCount / 8);
                    p[0] = Mix(b, p[0], a);
                    p[1] = Mix(g, p[1], a);
                    p[2] = Mix(r, p[2], a);
                } else {
                    COLORREF under = RawToColor(s, ReadRaw(row, s.BitCount, px));
                    COLORREF mixed = RGB(Mix(r, GetRValue(under), a), Mix(g, GetGValue(under), a),
                                         Mix(b, GetBValue(under), a));
                    WriteRaw(row, s.BitCount, px, ColorToRaw(s, mixed));
                }
            }
        }
        pen += glyph.Advance;
    }
}

// Text at logical (x, y) clipped to the device rectangle `clip`, with the opaque background of
// OPAQUE mode.
void OutputText(HDC Hdc, int X, int Y, const std::u32string& Text, RECT Clip) {
    TFontFace* face = FaceOf(Hdc);
    if (!face || !Hdc->Bitmap)
        return;
    LONG dx = DevX(*Hdc, X), dy = DevY(*Hdc, Y);
    if (Hdc->State.BkMode == OPAQUE) {
        RECT cell{dx, dy, dx + Advance(*face, Text), dy + face->Height()};
        FillDeviceRect(*Hdc, Intersect(cell, Clip), Hdc->State.BkColor);
    }
    DrawGlyphs(Hdc, *face, dx, dy, Text, Clip);
}

// "&x" marks an accelerator: the ampersand is dropped ("&&" stays one ampersand).
std::string StripPrefixes(const std::string& Text) {
    std::string out;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '&' && i + 1 < Text.size())
            ++i;
        else if (Text[i] == '&')
            continue;
        out.push_back(Text[i]);
    }
    return out;
}

std::vector<std::string> SplitParagraphs(const std::string& Text) {
    std::vector<std::string> paragraphs(1);
    for (char c : Text) {
        if (c == '\r')
            continue;
        if (c == '\n')
            paragraphs.emplace_back();
        else
            paragraphs.back().push_back(c);
    }
    return paragraphs;
}

// Greedy line filling: as many words as fit in `width`; a word wider than `width` stands alone.
void WrapParagraph(TFontFace& Face, const std::string& Paragraph, int Width,
                   std::vector<std::string>& Lines) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= Paragraph.size()) {
        std::size_t space = Paragraph.find(' ', start);
        if (space == std::string::npos)
            space = Paragraph.size();
        if (space > start)
            words.push_back(Paragraph.substr(start, space - start));
        start = space + 1;
    }
    if (words.empty()) {
        Lines.emplace_back();
        return;
    }
    std::string line = words[0];
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::string candidate = line + " " + words[i];
        if (Advance(Face, DecodeUtf8(candidate.data(), candidate.size())) <= Width) {
            line = std::move(candidate);
        } else {
            Lines.push_back(std::move(line));
            line = words[i];
        }
    }
    Lines.push_back(std::move(line));
}

} // namespace

HFONT CreateFontIndirectA(const LOGFONTA* LogFont) {
    if (!LogFont)
        return nullptr;
    auto* font = new TGdiFont();
    font->LogFont = *LogFont;
    font->LogFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    return font;
}

BOOL TextOutA(HDC Hdc, int X, int Y, const char* Text, int Count) {
    if (!Hdc)
        return FALSE;
    std::size_t length = Length(Text, Count);
    OutputText(Hdc, X, Y, DecodeUtf8(Text, length), DeviceClip(*Hdc));
    return TRUE;
}

BOOL ExtTextOutA(HDC Hdc, int X, int Y, UINT Options, const RECT* Rect, const char* Text,
                 int Count) {
    if (!Hdc)
        return FALSE;
    RECT clip = DeviceClip(*Hdc);
    if (Rect) {
        RECT device{DevX(*Hdc, Rect->left), DevY(*Hdc, Rect->top), DevX(*Hdc, Rect->right),
                    DevY(*Hdc, Rect->bottom)};
        if (Options & ETO_OPAQUE)
            FillDeviceRect(*Hdc, Intersect(device, clip), Hdc->State.BkColor);
        if (Options & ETO_CLIPPED)
            clip = Intersect(clip, device);
    }
    std::size_t length = Length(Text, Count);
    OutputText(Hdc, X, Y, DecodeUtf8(Text, length), clip);
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC Hdc, const char* Text, int Count, SIZE* Size) {
    if (!Size)
        return FALSE;
    *Size = SIZE();
    TFontFace* face = FaceOf(Hdc);
    if (!face)
        return FALSE;
    std::size_t length = Length(Text, Count);
    Size->cx = Advance(*face, DecodeUtf8(Text, length));
    Size->cy = face->Height();
    return TRUE;
}

BOOL GetTextMetricsA(HDC Hdc, TEXTMETRICA* Metrics) {
    if (!Metrics)
        return FALSE;
    TFontFace* face = FaceOf(Hdc);
    if (!face)
        return FALSE;
    *Metrics = TEXTMETRICA();
    Metrics->tmAscent = face->Ascent();
    Metrics->tmDescent = face->Descent();
    Metrics->tmHeight = face->Height();
    Metrics->tmInternalLeading = std::max(0, face->Height() - face->EmPixels());
    Metrics->tmAveCharWidth = face->AverageWidth();
    Metrics->tmMaxCharWidth = face->MaxAdvance();
    Metrics->tmWeight = face->Bold() ? 700 : 400;
    return TRUE;
}

int DrawTextA(HDC Hdc, const char* Text, int Count, RECT* Rect, UINT Format) {
    TFontFace* face = FaceOf(Hdc);
    if (!face || !Rect)
        return 0;
    std::string content(Text ? Text : "", Length(Text, Count));
    if (!(Format & DT_NOPREFIX))
        content = StripPrefixes(content);

    std::vector<std::string> lines;
    if (Format & DT_SINGLELINE) {
        content.erase(std::remove_if(content.begin(), content.end(),
                                     [](char C) { return C == '\r' || C == '\n'; }),
                      content.end());
        lines.push_back(content);
    } else {
        for (const std::string& paragraph : SplitParagraphs(content)) {
            if (Format & DT_WORDBREAK)
                WrapParagraph(*face, paragraph, Rect->right - Rect->left, lines);
            else
                lines.push_back(paragraph);
        }
    }

    const int lineHeight = face->Height();
    const int total = lineHeight * static_cast<int>(lines.size());
    std::vector<std::u32string> decoded;
    int widest = 0;
    for (const std::string& line : lines) {
        decoded.push_back(DecodeUtf8(line.data(), line.size()));
        widest = std::max(widest, Advance(*face, decoded.back()));
    }
    if (Format & DT_CALCRECT) {
        Rect->right = Rect->left + widest;
        Rect->bottom = Rect->top + total;
        return total;
    }

    LONG y = Rect->top;
    if (Format & DT_SINGLELINE) {
        if (Format & DT_VCENTER)
            y = Rect->top + (Rect->bottom - Rect->top - lineHeight) / 2;
        else if (Format & DT_BOTTOM)
            y = Rect->bottom - lineHeight;
    }
    RECT clip = DeviceClip(*Hdc);
    if (!(Format & DT_NOCLIP)) {
        RECT device{DevX(*Hdc, Rect->left), DevY(*Hdc, Rect->top), DevX(*Hdc, Rect->right),
                    DevY(*Hdc, Rect->bottom)};
        clip = Intersect(clip, device);
    }
    for (const std::u32string& line : decoded) {
        int width = Advance(*face, line);
        LONG x = Rect->left;
        if (Format & DT_CENTER)
            x = Rect->left + (Rect->right - Rect->left - width) / 2;
        else if (Format & DT_RIGHT)
            x = Rect->right - width;
        OutputText(Hdc, x, y, line, clip);
        y += lineHeight;
    }
    return total;
}

} // namespace zorbalin
