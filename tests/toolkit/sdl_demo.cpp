// A manual check of the SDL backend (not a test): a framed window with a push button, a radio
// group, a label and an image button. Every click is printed; the image button raises an error
// (shown in the error box); the button "Bezár" closes the window and ends the program. Run it under
// a real or virtual X server:
//   Xvfb :99 & DISPLAY=:99 build/toolkit_sdl_demo
#include <cstdio>

#include "backend/sdl/sdl_backend.h"
#include "gdi/owners.h"
#include "imaging/pngbutton.h"
#include "toolkit/application.h"
#include "toolkit/button.h"
#include "toolkit/exception.h"
#include "toolkit/label.h"
#include "toolkit/radio_group.h"

namespace zorbalin {
namespace {

// A 16 x 16 orange disc on transparency.
std::unique_ptr<TPNGObject> MakeIcon() {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TBitmapOwner bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 256; ++i)
        pixels[i] = 0x00FF8000;
    auto icon = std::make_unique<TPNGObject>();
    icon->AssignFromBitmapHandle(bitmap.Get(), false, 0);
    icon->AddAlphaChannel();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            int dx = 2 * x - 15, dy = 2 * y - 15;
            icon->AlphaRow(y)[x] = dx * dx + dy * dy <= 225 ? 255 : 0;
        }
    return icon;
}

class TDemoForm : public TForm {
  public:
    explicit TDemoForm(TComponent* Owner) : TForm(Owner) {
        SetBorderStyle(TFormBorderStyle::bsDialog);
        SetCaption("Próba");
        SetBounds(40, 40, 0, 0);
        SetClientSize(240, 150);
        Group = new TRadioGroup(this);
        Group->SetParent(this);
        Group->SetBounds(16, 12, 185, 45);
        Group->SetCaption("Színek száma");
        Group->SetItems({"3", "4", "5"});
        Group->SetColumns(3);
        Group->SetItemIndex(1);
        Group->OnClick = [this](TObject*) { Say("radio " + std::to_string(Group->ItemIndex())); };
        Label = new TLabel(this);
        Label->SetParent(this);
        Label->SetBounds(16, 64, 185, 20);
        Label->Alignment = taCenter;
        Label->Transparent = true;
        Label->SetCaption("Kattints!");
        CloseButton = new TButton(this);
        CloseButton->SetParent(this);
        CloseButton->SetBounds(28, 100, 75, 25);
        CloseButton->SetCaption("Bezár");
        CloseButton->Default = true;
        CloseButton->OnClick = [this](TObject*) {
            Say("button");
            TForm::Close();
        };
        Image = new TPNGButton(this);
        Image->SetParent(this);
        Image->SetBounds(200, 100, 25, 25);
        Image->SetButtonStyle(pbsNoFrame);
        Image->SetImageNormal(MakeIcon().get());
        // The image button shows the error box: an exception leaving a handler.
        Image->OnClick = [this](TObject*) {
            Say("image button");
            Label->SetCaption("Kép gomb!");
            throw Exception("Cannot open file \"/nowhere/Ico/1.bmp\". No such file or directory");
        };
    }
    TRadioGroup* Group;
    TLabel* Label;
    TButton* CloseButton;
    TPNGButton* Image;

  private:
    static void Say(const std::string& What) {
        std::printf("clicked: %s\n", What.c_str());
        std::fflush(stdout);
    }
};

} // namespace
} // namespace zorbalin

int main() {
    using namespace zorbalin;
    try {
        TSdlBackend backend;
        TApplication app(backend);
        app.SetTitle("ZorbaLin");
        TDemoForm* form = nullptr;
        app.CreateForm(form);
        app.Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
