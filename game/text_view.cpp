#include "game/text_view.h"

namespace zorbalin {
namespace {

std::string Numbers(std::initializer_list<int> Values) {
    std::string text;
    for (int value : Values)
        text += ' ' + std::to_string(value);
    return text;
}

} // namespace

TPictureHandle TTextView::CreatePebble(int Col, int Row, std::int32_t Colour) {
    WriteLine("CreatePebble" + Numbers({Col, Row, Colour}));
    return nullptr;
}

void TTextView::ShowPebble(int Col, int Row, std::int32_t Colour) {
    WriteLine("ShowPebble" + Numbers({Col, Row, Colour}));
}

void TTextView::HidePebble(int Col, int Row) {
    WriteLine("HidePebble" + Numbers({Col, Row}));
}

void TTextView::OffsetPebble(int Col, int Row, int DX, int DY) {
    WriteLine("OffsetPebble" + Numbers({Col, Row, DX, DY}));
}

void TTextView::ResetPebble(int Col, int Row) {
    WriteLine("ResetPebble" + Numbers({Col, Row}));
}

void TTextView::ShowResult(const std::string& Headline, const std::string& Message) {
    WriteLine("ShowResult \"" + Headline + "\" \"" + Message + "\"");
}

} // namespace zorbalin
