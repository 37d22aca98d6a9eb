#include "app/windows/cell_pictures.h"

#include "toolkit/application.h"
#include "toolkit/exception.h"
#include "toolkit/form.h"
#include "toolkit/image.h"

#include <exception>
#include <stdexcept>
#include <utility>

namespace zorbalin {

std::string PebbleFile(const std::string& AppDir, std::int32_t Colour) {
    if (Colour <= 0)
        return "";
    return AppDir + "/Ico/" + std::to_string(Colour) + ".bmp";
}

void TCellPictures::Attach(TForm* Form, std::string AppDir, TNotifyEvent OnClick) {
    FForm = Form;
    FAppDir = std::move(AppDir);
    FOnClick = std::move(OnClick);
}

TImage* TCellPictures::Cell(int Col, int Row) const {
    return IsOnBoard(Col, Row) ? FImages[CellIndex(Col, Row)] : nullptr;
}

TImage& TCellPictures::At(int Col, int Row) const {
    TImage* image = Cell(Col, Row);
    if (!image)
        throw std::logic_error("cell picture " + CellName(Col, Row) + " does not exist");
    return *image;
}

TImage* TCellPictures::Create(int Col, int Row, std::int32_t Colour) {
    if (!IsOnBoard(Col, Row) || !FForm)
        throw std::logic_error("cell picture outside the board");
    auto* image = new TImage(FForm);
    FImages[CellIndex(Col, Row)] = image;
    image->SetName(CellName(Col, Row));
    image->SetHint(CellName(Col, Row));
    const TCellBox home = HomeBox(Col, Row);
    image->SetBounds(home.Left, home.Top, home.Width, home.Height);
    image->SetStretch(true);
    image->OnClick = FOnClick;
    image->SetParent(FForm);
    Load(*image, Colour);
    return image;
}

void TCellPictures::Show(int Col, int Row, std::int32_t Colour) {
    TImage& image = At(Col, Row);
    if (Colour == 0) {
        image.Hide();
        return;
    }
    Load(image, Colour);
    image.Show();
    image.Invalidate();
}

void TCellPictures::Hide(int Col, int Row) {
    At(Col, Row).Hide();
}

void TCellPictures::Offset(int Col, int Row, int DX, int DY) {
    Place(Col, Row, DX, DY);
    // Only the new box is drawn now; the strip left behind waits for the
    // ordinary repaint, which comes when the operation has returned.
    At(Col, Row).Repaint();
}

void TCellPictures::Reset(int Col, int Row) {
    Place(Col, Row, 0, 0);
}

void TCellPictures::Place(int Col, int Row, int DX, int DY) {
    TImage& image = At(Col, Row);
    const TCellBox home = HomeBox(Col, Row);
    image.SetBounds(home.Left + DX, home.Top + DY, home.Width, home.Height);
}

namespace {

// The player must learn which file failed: a file that opens but is no bitmap
// gives a reason without the file's name.
std::string FailureText(const std::string& Path, const std::string& Reason) {
    if (Reason.find(Path) != std::string::npos)
        return Reason;
    return "Cannot read the pebble picture \"" + Path + "\". " + Reason;
}

} // namespace

void TCellPictures::Load(TImage& Image, std::int32_t Colour) {
    const std::string path = PebbleFile(FAppDir, Colour);
    if (FOperationDepth == 0)
        FPictures.NextOperation(); // a show outside a game operation is one of its own
    try {
        Image.Picture()->Share(FPictures.Picture(path));
    } catch (const std::exception& e) {
        // The cell keeps its colour (the rules go on with it) but shows nothing.
        Image.Picture()->Assign(nullptr);
        if (FFirstFailure.empty())
            FFirstFailure = FailureText(path, e.what());
        if (FOperationDepth == 0)
            ReportFailures();
    }
}

void TCellPictures::ReportFailures() {
    if (FFirstFailure.empty())
        return;
    const Exception failure(std::exchange(FFirstFailure, std::string()));
    if (!gApplication)
        throw failure;
    gApplication->ShowException(failure);
}

TCellPictures::TOperation::TOperation(TCellPictures& Cells) : FCells(Cells) {
    if (FCells.FOperationDepth++ == 0)
        FCells.FPictures.NextOperation();
}

TCellPictures::TOperation::~TOperation() {
    if (--FCells.FOperationDepth > 0)
        return;
    try {
        FCells.ReportFailures();
        if (FCells.OnOperationEnd)
            FCells.OnOperationEnd();
    } catch (...) {
        // A destructor must not throw; without an application there is nobody to tell.
    }
}

} // namespace zorbalin
