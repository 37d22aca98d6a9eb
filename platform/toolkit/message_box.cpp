#include "toolkit/message_box.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "toolkit/application.h"
#include "toolkit/button.h"
#include "toolkit/label.h"

namespace zorbalin {

namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kMaxTextWidth = 360;
constexpr int kMinTextWidth = 120;

// The stop sign: a red disc with a white cross.
class TStopIcon : public TGraphicControl {
  public:
    explicit TStopIcon(TComponent* Owner) : TGraphicControl(Owner) {
        ControlStyle = 0;
        SetBounds(0, 0, kIconSize, kIconSize);
    }

  protected:
    void Paint() override {
        HDC dc = Canvas()->Handle();
        const double c = (kIconSize - 1) / 2.0, radius = kIconSize / 2.0 - 1;
        for (int y = 0; y < kIconSize; ++y)
            for (int x = 0; x < kIconSize; ++x) {
                double dx = x - c, dy = y - c;
                if (std::sqrt(dx * dx + dy * dy) > radius)
                    continue;
                bool cross = std::abs(std::abs(dx) - std::abs(dy)) < 2.2 && std::abs(dx) < 8.5;
                SetPixel(dc, x, y, cross ? RGB(255, 255, 255) : RGB(200, 16, 16));
            }
    }
};

class TMessageForm : public TForm {
  public:
    TMessageForm(TComponent* Owner, const std::string& Message, const std::string& Caption,
                 unsigned Flags)
        : TForm(Owner) {
        SetBorderStyle(TFormBorderStyle::bsDialog);
        SetCaption(Caption);
        bool withIcon = (Flags & 0xF0) != 0;
        bool withCancel = (Flags & 0x0F) == MB_OKCANCEL;

        int textLeft = kMargin + (withIcon ? kIconSize + kMargin : 0);
        TRect textBox = MeasureText(Message);
        int textHeight = std::max(textBox.Height(), withIcon ? kIconSize : 0);

        if (withIcon) {
            auto* icon = new TStopIcon(this);
            icon->SetParent(this);
            icon->SetBounds(kMargin, kMargin, kIconSize, kIconSize);
        }
        Text = new TLabel(this);
        Text->SetParent(this);
        Text->WordWrap = true;
        Text->Transparent = true;
        Text->SetCaption(Message);
        Text->SetBounds(textLeft, kMargin + (textHeight - textBox.Height()) / 2, textBox.Width(),
                        textBox.Height());

        int buttons = withCancel ? 2 : 1, buttonsWidth = buttons * 75 + (buttons - 1) * 8;
        int clientWidth =
            std::max(textLeft + textBox.Width() + kMargin, buttonsWidth + 2 * kMargin);
        int buttonTop = kMargin + textHeight + kMargin;
        int buttonLeft = (clientWidth - buttonsWidth) / 2;
        Ok = AddButton("OK", kMrOk, buttonLeft, buttonTop);
        Ok->Default = true;
        Ok->Cancel = !withCancel;
        if (withCancel)
            AddButton("Cancel", kMrCancel, buttonLeft + 83, buttonTop)->Cancel = true;
        SetActiveControl(Ok);
        SetClientSize(clientWidth, buttonTop + 25 + kMargin);
    }

    TLabel* Text = nullptr;
    TButton* Ok = nullptr;

  private:
    TButton* AddButton(const std::string& Caption, TModalResult Result, int Left, int Top) {
        auto* b = new TButton(this);
        b->SetParent(this);
        b->SetCaption(Caption);
        b->ModalResult = Result;
        b->SetBounds(Left, Top, 75, 25);
        return b;
    }

    // The box the text needs, wrapped at kMaxTextWidth.
    TRect MeasureText(const std::string& Text) {
        TDCOwner dc(CreateCompatibleDC(nullptr));
        TCanvas canvas(dc.Get());
        canvas.Font().Assign(*Font());
        TRect box{0, 0, kMaxTextWidth, 0};
        canvas.DrawText(Text, box, taLeftJustify, true, false, true);
        box.Right = std::max(box.Right, kMinTextWidth);
        return box;
    }
};

} // namespace

int RunMessageBox(const std::string& Text, const std::string& Caption, unsigned Flags) {
    if (!gApplication)
        return IDCANCEL;
    std::unique_ptr<TMessageForm> box(
        TForm::Create<TMessageForm>(gApplication, Text, Caption, Flags));
    TMessageForm* form = box.get();
    bool told = false;
    form->OnActivate = [form, &told, &Text, &Caption](TObject*) {
        if (told)
            return;
        told = true;
        gApplication->Backend().MessageBoxShown({Caption, Text, form->Window()});
    };
    // Centred over the main form when it is shown, else on the screen; unlike the program's
    // dialogs, the box is kept on the screen so that its text and button can always be reached.
    TForm* main = gApplication->MainForm();
    TRect screen = gApplication->Backend().ScreenRect();
    TRect over = main && main->Visible() ? main->BoundsRect() : screen;
    int left = over.Left + (over.Width() - form->Width()) / 2;
    int top = over.Top + (over.Height() - form->Height()) / 2;
    left = std::max(screen.Left, std::min(left, screen.Right - form->Width()));
    top = std::max(screen.Top, std::min(top, screen.Bottom - form->Height()));
    form->Position = TPosition::poDesigned;
    form->SetBounds(left, top, form->Width(), form->Height());
    return form->ShowModal() == kMrOk ? IDOK : IDCANCEL;
}

} // namespace zorbalin
