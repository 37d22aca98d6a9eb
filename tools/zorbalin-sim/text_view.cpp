#include "text_view.h"

namespace zorbalin {

TPictureHandle TTextView::CreatePebble(int Col, int Row, std::int32_t Colour) {
    FOut << "CreatePebble " << Col << ' ' << Row << ' ' << Colour << '\n';
    return nullptr; // there is no picture behind a line of text
}

void TTextView::ShowPebble(int Col, int Row, std::int32_t Colour) {
    FOut << "ShowPebble " << Col << ' ' << Row << ' ' << Colour << '\n';
}

void TTextView::HidePebble(int Col, int Row) {
    FOut << "HidePebble " << Col << ' ' << Row << '\n';
}

void TTextView::OffsetPebble(int Col, int Row, int DX, int DY) {
    FOut << "OffsetPebble " << Col << ' ' << Row << ' ' << DX << ' ' << DY << '\n';
}

void TTextView::ResetPebble(int Col, int Row) {
    FOut << "ResetPebble " << Col << ' ' << Row << '\n';
}

void TTextView::ShowResult(const std::string& Headline, const std::string& Message) {
    FOut << "ShowResult \"" << Headline << "\" \"" << Message << "\"\n";
}

} // namespace zorbalin
