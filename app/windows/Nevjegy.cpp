#include "app/windows/Nevjegy.h"

#include "app/windows/Main.h"
#include "app/windows/program_version.h"
#include "app/windows/window_parts.h"
#include "assets/embedded_assets.h"
#include "imaging/pngbutton.h"
#include "strings/translate.h"
#include "toolkit/font.h"

namespace zorbalin {

Tfrm_Nevjegy* frm_Nevjegy = nullptr;

std::string ProductNameText() {
    return std::string("ZorbaLin\r\nV") + ProgramVersion();
}

namespace {

// The panel picture on the left, the key list to its right.
constexpr int kArtWidth = 366;
constexpr int kKeyListWidth = 276;
constexpr int kWindowHeight = 300;

} // namespace

Tfrm_Nevjegy::Tfrm_Nevjegy(TComponent* Owner) : TForm(Owner) {
    SetName("frm_Nevjegy");
    SetCaption(Tr("Névjegy"));
    SetBorderStyle(TFormBorderStyle::bsNone);
    SetClientSize(kArtWidth + kKeyListWidth, kWindowHeight);
    WindowKind = TWindowKind::Dialog;
    Position = TPosition::poMainFormCenter;
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);

    Image1 = NewPanelPicture(this, kArtWidth, kWindowHeight, asset::kAboutPanel);
    KeyList = new TKeyListPanel(this);
    KeyList->SetName("KeyList");
    KeyList->SetBounds(kArtWidth, 0, kKeyListWidth, kWindowHeight);
    KeyList->SetParent(this);

    ProductName = new TLabel(this);
    ProductName->SetName("ProductName");
    ProductName->SetBounds(20, 116, 145, 37);
    ProductName->Transparent = true;
    ProductName->SetParent(this);
    ProductName->ParentFont = false;
    ProductName->Font()->SetName("Arial");
    ProductName->Font()->SetHeight(-15);
    ProductName->Font()->SetStyle(fsBold);
    ProductName->Font()->SetColor(kClRed);

    PNGButton8 = NewCrossButton(this, kArtWidth + kKeyListWidth - 37,
                                [this](TObject* Sender) { SpeedButton1Click(Sender); });

    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

Tfrm_Nevjegy::~Tfrm_Nevjegy() {
    DestroyComponents();
    // Nothing reads the reference after the run; clearing it keeps it from dangling.
    if (frm_Nevjegy == this)
        frm_Nevjegy = nullptr;
}

void Tfrm_Nevjegy::FormCreate(TObject*) {
    ProductName->SetCaption(ProductNameText());
    if (frm_Main)
        KeyList->SetLines(frm_Main->KeyList());
}

void Tfrm_Nevjegy::FormClose(TObject*, TCloseAction& Action) {
    Action = TCloseAction::caFree;
}

void Tfrm_Nevjegy::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (Shift == 0 && (Key == vk::kEscape || Key == vk::kReturn)) {
        Key = 0;
        SpeedButton1Click(this);
    }
}

void Tfrm_Nevjegy::SpeedButton1Click(TObject*) {
    SetModalResult(kMrOk);
}

} // namespace zorbalin
