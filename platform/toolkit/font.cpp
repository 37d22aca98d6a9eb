// TFont: the font description and its platform font.
#include "toolkit/font.h"

#include <algorithm>
#include <cmath>

#include "toolkit/exception.h"

namespace zorbalin {

TFont::TFont() : name_("MS Sans Serif"), height_(-11), color_(clWindowText) {}

TFont::TFont(const TFont& other)
    : TPersistent(other), name_(other.name_), height_(other.height_), style_(other.style_),
      color_(other.color_) {}

TFont& TFont::operator=(const TFont& other) {
    Assign(other);
    return *this;
}

TFont::~TFont() = default;

void TFont::Assign(const TFont& source) {
    if (&source == this)
        return;
    bool stale = name_ != source.name_ || height_ != source.height_ || style_ != source.style_;
    name_ = source.name_;
    height_ = source.height_;
    style_ = source.style_;
    color_ = source.color_;
    Changed(stale);
}

void TFont::Assign(TPersistent* source) {
    auto* font = dynamic_cast<TFont*>(source);
    if (!font)
        RaiseAssignError(source, this);
    Assign(*font);
}

void TFont::SetName(const std::string& name) {
    if (name == name_)
        return;
    name_ = name;
    Changed(true);
}

void TFont::SetHeight(int height) {
    if (height == height_)
        return;
    height_ = height;
    Changed(true);
}

int TFont::Size() const {
    return static_cast<int>(std::lround(-static_cast<double>(height_) * 72.0 / 96.0));
}

void TFont::SetSize(int points) {
    SetHeight(-static_cast<int>(std::lround(points * 96.0 / 72.0)));
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_)
        return;
    style_ = style;
    Changed(true);
}

void TFont::SetColor(TColor color) {
    if (color == color_)
        return;
    color_ = color;
    Changed(false);
}

HFONT TFont::Handle() {
    if (!handle_) {
        LOGFONTA request;
        request.lfHeight = height_;
        request.lfWeight = (style_ & fsBold) ? 700 : 400;
        request.lfItalic = (style_ & fsItalic) ? 1 : 0;
        request.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
        request.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
        std::size_t n = std::min<std::size_t>(name_.size(), LF_FACESIZE - 1);
        std::copy_n(name_.data(), n, request.lfFaceName);
        request.lfFaceName[n] = '\0';
        handle_.Reset(CreateFontIndirectA(&request));
    }
    return handle_.Get();
}

void TFont::Changed(bool handleStale) {
    if (handleStale)
        handle_.Reset();
    if (OnChange)
        OnChange(this);
}

} // namespace zorbalin
