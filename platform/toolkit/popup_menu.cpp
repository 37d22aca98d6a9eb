#include "toolkit/popup_menu.h"

#include <algorithm>
#include <memory>

#include "gdi/owners.h"
#include "toolkit/action.h"
#include "toolkit/application.h"
#include "toolkit/canvas.h"
#include "toolkit/font.h"
#include "toolkit/form.h"
#include "toolkit/graphic_control.h"

namespace zorbalin {

namespace {

constexpr int kFrame = 1;       // the dark line around the menu
constexpr int kPadding = 2;     // between the frame and the lines
constexpr int kTextLeft = 20;   // a caption's indent
constexpr int kKeyGap = 32;     // at least this between a caption and its key
constexpr int kTextRight = 16;  // after the widest key
constexpr int kLineHeight = 7;  // a separator
constexpr int kItemPadding = 6; // above and below a caption, together
constexpr int kNoItem = -1;
constexpr int kInset = kFrame + kPadding;

// The lines of the menu, painted in the system's menu colours, and the player's input on them.
class TMenuList : public TGraphicControl {
  public:
    TMenuList(TComponent* Owner, const std::vector<TMenuItem*>& Items)
        : TGraphicControl(Owner), FItems(Items) {
        TabStop = true;
        ControlStyle = kCsCaptureMouse;
    }

    // Lays the lines out in the font and returns the size the whole list needs.
    TSize Measure(TCanvas& Canvas) {
        int captionWidth = 0, keyWidth = 0;
        FItemHeight = Canvas.TextHeight("Ág") + kItemPadding;
        for (const TMenuItem* item : FItems) {
            if (item->IsLine())
                continue;
            captionWidth = std::max(captionWidth, Canvas.TextWidth(item->Caption));
            keyWidth = std::max(keyWidth, Canvas.TextWidth(item->ShortCutText));
        }
        FKeyLeft = kTextLeft + captionWidth + kKeyGap;
        int height = 0;
        for (const TMenuItem* item : FItems)
            height += RowHeight(item);
        return {FKeyLeft + keyWidth + kTextRight + 2 * kInset, height + 2 * kInset};
    }

    TMenuItem* Chosen() const { return FChosen; }
    int Highlighted() const { return FHighlight; }

    bool WantsKey(uint16_t Key) const override {
        return Key == vk::kUp || Key == vk::kDown || Key == vk::kReturn || Key == vk::kSpace ||
               Key == vk::kEscape;
    }

    void KeyDown(uint16_t& Key, TShiftState) override {
        switch (Key) {
        case vk::kUp:
            Step(-1);
            break;
        case vk::kDown:
            Step(+1);
            break;
        case vk::kReturn:
        case vk::kSpace:
            if (FHighlight != kNoItem)
                Choose(FItems[static_cast<size_t>(FHighlight)]);
            break;
        default:
            Dismiss();
            break;
        }
        Key = 0;
    }

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        // Only a captured press reaches the list outside its box: a press elsewhere.
        if (!ClientRect().Contains({X, Y}))
            Dismiss();
        TGraphicControl::MouseDown(Button, Shift, X, Y);
    }

    void MouseMove(TShiftState Shift, int X, int Y) override {
        int index = ItemAt(Y);
        if (ClientRect().Contains({X, Y}) && index != kNoItem && Selectable(index))
            SetHighlight(index);
        TGraphicControl::MouseMove(Shift, X, Y);
    }

    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        int index = ClientRect().Contains({X, Y}) ? ItemAt(Y) : kNoItem;
        if (index != kNoItem && Selectable(index))
            Choose(FItems[static_cast<size_t>(index)]);
        TGraphicControl::MouseUp(Button, Shift, X, Y);
    }

  protected:
    void Paint() override {
        TCanvas& canvas = *Canvas();
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(kCl3DDkShadow);
        canvas.FrameRect(ClientRect());
        canvas.Brush().SetColor(kClMenu);
        canvas.FillRect(Rect(kFrame, kFrame, Width() - kFrame, Height() - kFrame));
        int top = kInset;
        for (size_t i = 0; i < FItems.size(); ++i) {
            const TMenuItem* item = FItems[i];
            int height = RowHeight(item);
            if (item->IsLine())
                PaintLine(canvas, top + height / 2);
            else
                PaintItem(canvas, *item, Rect(kInset, top, Width() - kInset, top + height),
                          static_cast<int>(i) == FHighlight);
            top += height;
        }
    }

  private:
    int RowHeight(const TMenuItem* Item) const {
        return Item->IsLine() ? kLineHeight : FItemHeight;
    }

    void PaintLine(TCanvas& Canvas, int Y) {
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(kClBtnShadow);
        Canvas.FillRect(Rect(kInset + 4, Y - 1, Width() - kInset - 4, Y));
        Canvas.Brush().SetColor(kClBtnHighlight);
        Canvas.FillRect(Rect(kInset + 4, Y, Width() - kInset - 4, Y + 1));
    }

    void PaintItem(TCanvas& Canvas, const TMenuItem& Item, TRect Box, bool Highlighted) {
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(Highlighted ? kClHighlight : kClMenu);
        Canvas.FillRect(Box);
        Canvas.Brush().SetStyle(bsClear);
        Canvas.Font().SetColor(!Item.Enabled ? kClGrayText
                               : Highlighted ? kClHighlightText
                                             : kClMenuText);
        if (Item.Checked)
            PaintTick(Canvas, Box, Canvas.Font().Color());
        TRect caption{Box.Left + kTextLeft, Box.Top, Box.Right, Box.Bottom};
        Canvas.DrawText(Item.Caption, caption, taLeftJustify, false, true);
        TRect key{Box.Left + FKeyLeft, Box.Top, Box.Right, Box.Bottom};
        Canvas.DrawText(Item.ShortCutText, key, taLeftJustify, false, true);
    }

    // A tick in the indent before the caption, in the caption's colour: a short stroke down to
    // the right, then a long one up, two pixels thick.
    static void PaintTick(TCanvas& Canvas, TRect Box, TColor Colour) {
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(Colour);
        const int left = Box.Left + 6;
        const int bottom = (Box.Top + Box.Bottom) / 2 + 3;
        for (int step = 0; step < 3; ++step)
            Canvas.FillRect(
                Rect(left + step, bottom - 3 + step, left + step + 1, bottom - 1 + step));
        for (int step = 0; step < 5; ++step)
            Canvas.FillRect(
                Rect(left + 3 + step, bottom - step - 1, left + 4 + step, bottom - step + 1));
        Canvas.Brush().SetStyle(bsClear);
    }

    int ItemAt(int Y) const {
        int top = kInset;
        for (size_t i = 0; i < FItems.size(); ++i) {
            int height = RowHeight(FItems[i]);
            if (Y >= top && Y < top + height)
                return static_cast<int>(i);
            top += height;
        }
        return kNoItem;
    }

    bool Selectable(int Index) const {
        const TMenuItem* item = FItems[static_cast<size_t>(Index)];
        return !item->IsLine() && item->Enabled;
    }

    // The next enabled command up or down, round the end of the list.
    void Step(int Direction) {
        int count = static_cast<int>(FItems.size());
        int index = FHighlight;
        for (int tried = 0; tried < count; ++tried) {
            index = index == kNoItem ? (Direction > 0 ? 0 : count - 1)
                                     : (index + Direction + count) % count;
            if (Selectable(index)) {
                SetHighlight(index);
                return;
            }
        }
    }

    void SetHighlight(int Index) {
        if (Index == FHighlight)
            return;
        FHighlight = Index;
        Repaint();
    }

    void Choose(TMenuItem* Item) {
        FChosen = Item;
        if (TForm* form = ParentForm())
            form->SetModalResult(kMrOk);
    }

    void Dismiss() {
        FChosen = nullptr;
        if (TForm* form = ParentForm())
            form->SetModalResult(kMrCancel);
    }

    const std::vector<TMenuItem*>& FItems;
    int FItemHeight = 0;
    int FKeyLeft = 0;
    int FHighlight = kNoItem;
    TMenuItem* FChosen = nullptr;
};

class TMenuForm : public TForm {
  public:
    TMenuForm(TComponent* Owner, const std::vector<TMenuItem*>& Items) : TForm(Owner) {
        SetName("PopupMenuWindow");
        PopupWindow = true;
        Font()->SetName("Tahoma");
        Font()->SetHeight(-12);
        List = new TMenuList(this, Items);
        List->SetParent(this);
        TDCOwner dc(CreateCompatibleDC(nullptr));
        TCanvas canvas(dc.Get());
        canvas.Font().Assign(*List->Font());
        TSize size = List->Measure(canvas);
        List->SetBounds(0, 0, size.cx, size.cy);
        SetClientSize(size.cx, size.cy);
    }

    TMenuList* List;
};

} // namespace

TMenuItem* TPopupMenu::Add(const std::string& Caption, const std::string& ShortCutText,
                           TNotifyEvent OnClick) {
    auto* item = new TMenuItem(this);
    item->Caption = Caption;
    item->ShortCutText = ShortCutText;
    item->OnClick = std::move(OnClick);
    FItems.push_back(item);
    return item;
}

TMenuItem* TPopupMenu::Add(const std::string& Caption, TAction* Action) {
    TMenuItem* item =
        Add(Caption, ShortCutToText(Action->ShortCut), [Action](TObject*) { Action->Execute(); });
    item->Action = Action;
    return item;
}

TMenuItem* TPopupMenu::ItemOf(const TAction* Action) const {
    auto found = std::find_if(FItems.begin(), FItems.end(),
                              [Action](const TMenuItem* Item) { return Item->Action == Action; });
    return found == FItems.end() ? nullptr : *found;
}

TMenuItem* TPopupMenu::AddLine() {
    return Add("-", "", nullptr);
}

void TPopupMenu::ComponentRemoved(TComponent* Component) {
    FItems.erase(std::remove(FItems.begin(), FItems.end(), Component), FItems.end());
}

TMenuItem* TPopupMenu::Popup(int X, int Y) {
    if (!gApplication || FWindow || FItems.empty())
        return nullptr;
    if (OnPopup)
        OnPopup(this);
    std::unique_ptr<TMenuForm> form(TForm::Create<TMenuForm>(gApplication, FItems));
    TRect screen = gApplication->Backend().ScreenRect();
    int left = std::max(screen.Left, std::min(X, screen.Right - form->Width()));
    int top = std::max(screen.Top, std::min(Y, screen.Bottom - form->Height()));
    form->SetBounds(left, top, form->Width(), form->Height());
    struct TForget {
        TForm*& Window;
        ~TForget() { Window = nullptr; }
    } forget{FWindow};
    FWindow = form.get();
    form->ShowModal();
    TMenuItem* chosen = form->List->Chosen();
    form.reset();
    FWindow = nullptr;
    if (chosen && chosen->OnClick)
        chosen->OnClick(chosen);
    return chosen;
}

} // namespace zorbalin
