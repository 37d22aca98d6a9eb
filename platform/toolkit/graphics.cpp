// TGraphic's defaults and TPicture with its registry of picture formats.
#include "toolkit/graphics.h"

#include <algorithm>
#include <cctype>

#include "toolkit/bitmap.h"
#include "toolkit/exception.h"
#include "toolkit/stream.h"

namespace zorbalin {

void TGraphic::Assign(TPersistent* Source) {
    if (!Source)
        RaiseAssignError(Source, this);
    if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        graphic->AssignTo(this);
        return;
    }
    RaiseAssignError(Source, this);
}

void TGraphic::AssignTo(TPersistent* Destination) {
    RaiseAssignError(this, Destination);
}

void TGraphic::SetTransparent(bool Value) {
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    Changed();
}

void TGraphic::Changed() {
    if (OnChange)
        OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& Path) {
    TFileStream stream(Path, kFmOpenRead);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& Path) {
    TFileStream stream(Path, kFmCreate);
    SaveToStream(stream);
    stream.Close();
}

void TGraphic::LoadFromClipboardFormat(unsigned short, const TClipboardData&, HPALETTE) {
    throw EInvalidGraphic("Unsupported clipboard format");
}

void TGraphic::SaveToClipboardFormat(unsigned short&, TClipboardData&, HPALETTE&) {
    throw EInvalidGraphic("Unsupported clipboard format");
}

namespace {

std::string Lower(std::string Text) {
    std::transform(Text.begin(), Text.end(), Text.begin(),
                   [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
    return Text;
}

std::vector<TFileFormat>& Formats() {
    static std::vector<TFileFormat> formats{
        {"bmp", "Bitmaps", "TBitmap", [] { return std::make_unique<TBitmap>(); }}};
    return formats;
}

const TFileFormat* FormatForClass(const std::string& ClassName) {
    for (const TFileFormat& f : Formats())
        if (f.ClassName == ClassName)
            return &f;
    return nullptr;
}

const TFileFormat* FormatForExtension(const std::string& Extension) {
    std::string wanted = Lower(Extension);
    for (const TFileFormat& f : Formats())
        if (f.Extension == wanted)
            return &f;
    return nullptr;
}

std::string ExtensionOf(const std::string& Path) {
    std::size_t slash = Path.find_last_of('/');
    std::size_t dot = Path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    return Path.substr(dot + 1);
}

} // namespace

void TPicture::RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                  TGraphicFactory Factory) {
    std::string className = ClassNameOf(Factory().get());
    std::string ext = Lower(Extension);
    auto& formats = Formats();
    formats.erase(std::remove_if(formats.begin(), formats.end(),
                                 [&](const TFileFormat& F) { return F.Extension == ext; }),
                  formats.end());
    formats.push_back({ext, Description, className, std::move(Factory)});
}

const std::vector<TFileFormat>& TPicture::FileFormats() {
    return Formats();
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::TakeGraphic(std::unique_ptr<TGraphic> Graphic) {
    FGraphic = std::move(Graphic);
    FShared = false;
    if (FGraphic)
        FGraphic->OnChange = [this](TObject*) { Changed(); };
    Changed();
}

void TPicture::Share(std::shared_ptr<TGraphic> Graphic) {
    // A shared picture's change handler belongs to nobody: any holder may go first.
    FGraphic = std::move(Graphic);
    FShared = FGraphic != nullptr;
    Changed();
}

void TPicture::Changed() {
    if (OnChange)
        OnChange(this);
}

void TPicture::SetGraphic(TGraphic* Graphic) {
    if (!Graphic) {
        TakeGraphic(nullptr);
        return;
    }
    const TFileFormat* format = FormatForClass(ClassNameOf(Graphic));
    if (!format)
        RaiseAssignError(Graphic, this);
    std::unique_ptr<TGraphic> copy = format->Create();
    copy->Assign(Graphic);
    TakeGraphic(std::move(copy));
}

TBitmap& TPicture::Bitmap() {
    auto* bitmap = dynamic_cast<TBitmap*>(FGraphic.get());
    if (!bitmap || FShared) {
        auto fresh = std::make_unique<TBitmap>();
        if (bitmap)
            fresh->Assign(bitmap);
        bitmap = fresh.get();
        TakeGraphic(std::move(fresh));
    }
    return *bitmap;
}

int TPicture::Width() const {
    return FGraphic ? FGraphic->Width() : 0;
}
int TPicture::Height() const {
    return FGraphic ? FGraphic->Height() : 0;
}

std::unique_ptr<TGraphic> TPicture::NewGraphicFor(const std::string& Path) {
    std::string extension = ExtensionOf(Path);
    const TFileFormat* format = FormatForExtension(extension);
    if (!format)
        throw EInvalidGraphic("Unknown picture file extension (." + extension + ")");
    return format->Create();
}

void TPicture::LoadFromFile(const std::string& Path) {
    std::unique_ptr<TGraphic> graphic = NewGraphicFor(Path);
    graphic->LoadFromFile(Path);
    TakeGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& Path) {
    if (FGraphic)
        FGraphic->SaveToFile(Path);
}

void TPicture::Assign(TPersistent* Source) {
    if (!Source) {
        SetGraphic(nullptr);
    } else if (auto* picture = dynamic_cast<TPicture*>(Source)) {
        SetGraphic(picture->Graphic());
    } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(graphic);
    } else {
        RaiseAssignError(Source, this);
    }
}

} // namespace zorbalin
