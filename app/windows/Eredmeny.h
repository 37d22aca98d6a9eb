#pragma once
// Eredmeny ("result"): the borderless window that ends a game with a headline
// and a message, over a panel picture. It can be dragged by its picture and is
// closed by its cross button, or by Esc or Enter.
#include "app/windows/window_drag.h"
#include "toolkit/form.h"
#include "toolkit/image.h"
#include "toolkit/label.h"

#include <string>

namespace zorbalin {

class TPNGButton;

class Tfrm_Eredmeny : public TForm {
  public:
    explicit Tfrm_Eredmeny(TComponent* Owner);
    ~Tfrm_Eredmeny() override;

    TImage* Image1;
    TLabel* s1; // headline
    TLabel* i1; // message, wrapped and centred
    TPNGButton* PNGButton8;

    bool IsDragging() const { return FDrag.Dragging; }

    // Esc and Enter close the window as its cross does.
    void KeyDown(uint16_t& Key, TShiftState Shift) override;

    void SpeedButton1Click(TObject* Sender);
    void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

  private:
    TLabel* NewLabel(const char* Name, int Top, int Height, int FontHeight,
                     const std::string& Text);

    TWindowDrag FDrag;
};

// The result window while it runs; null otherwise.
extern Tfrm_Eredmeny* frm_Eredmeny;

// Creates the result window, shows the two texts modally and destroys the
// window when the player has closed it.
void ShowResultWindow(const std::string& Headline, const std::string& Message);

} // namespace zorbalin
