#include "app/windows/window_parts.h"

#include "app/windows/embedded_pictures.h"
#include "assets/embedded_assets.h"
#include "imaging/pngbutton.h"
#include "imaging/pngpicture.h"
#include "toolkit/form.h"
#include "toolkit/image.h"

#include <utility>

namespace zorbalin {

TImage* NewPanelPicture(TForm* Form, int Width, int Height, std::string_view Picture) {
    auto* image = new TImage(Form);
    image->SetName("Image1");
    image->SetBounds(0, 0, Width, Height);
    image->SetStretch(true);
    image->SetParent(Form);
    RunCreationStep([&] { image->Picture()->Assign(EmbeddedPicture(Picture).get()); });
    return image;
}

TPNGButton* NewCrossButton(TForm* Form, int Left, TNotifyEvent OnClick) {
    auto* button = new TPNGButton(Form);
    button->SetName("PNGButton8");
    button->SetBounds(Left, 12, 25, 25);
    button->SetButtonLayout(pbsImageAbove);
    button->SetButtonStyle(pbsNoFrame);
    button->OnClick = std::move(OnClick);
    button->SetParent(Form);
    RunCreationStep([&] { button->SetImageNormal(EmbeddedPicture(asset::kButtonClose).get()); });
    return button;
}

} // namespace zorbalin
