// TGraphic's defaults and TPicture with its registry of picture formats.
#include "toolkit/graphics.h"

#include <algorithm>
#include <cctype>

#include "toolkit/bitmap.h"
#include "toolkit/exception.h"
#include "toolkit/stream.h"

namespace zorbalin {

void TGraphic::Assign(TPersistent* source) {
    if (!source)
        RaiseAssignError(source, this);
    if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
        graphic->AssignTo(this);
        return;
    }
    RaiseAssignError(source, this);
}

void TGraphic::AssignTo(TPersistent* destination) {
    RaiseAssignError(this, destination);
}

void TGraphic::SetTransparent(bool value) {
    if (value == FTransparent)
        return;
    FTransparent = value;
    Changed();
}

void TGraphic::Changed() {
    if (OnChange)
        OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& path) {
    TFileStream stream(path, fmOpenRead);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& path) {
    TFileStream stream(path, fmCreate);
    SaveToStream(stream);
}

void TGraphic::LoadFromClipboardFormat(unsigned short, const TClipboardData&, HPALETTE) {
    throw EInvalidGraphic("Unsupported clipboard format");
}

void TGraphic::SaveToClipboardFormat(unsigned short&, TClipboardData&, HPALETTE&) {
    throw EInvalidGraphic("Unsupported clipboard format");
}

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<TFileFormat>& Formats() {
    static std::vector<TFileFormat> formats{
        {"bmp", "Bitmaps", "TBitmap", [] { return std::make_unique<TBitmap>(); }}};
    return formats;
}

const TFileFormat* FormatForClass(const std::string& className) {
    for (const TFileFormat& f : Formats())
        if (f.ClassName == className)
            return &f;
    return nullptr;
}

const TFileFormat* FormatForExtension(const std::string& extension) {
    std::string wanted = Lower(extension);
    for (const TFileFormat& f : Formats())
        if (f.Extension == wanted)
            return &f;
    return nullptr;
}

std::string ExtensionOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    return path.substr(dot + 1);
}

} // namespace

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TGraphicFactory factory) {
    std::string className = ClassNameOf(factory().get());
    std::string ext = Lower(extension);
    auto& formats = Formats();
    formats.erase(std::remove_if(formats.begin(), formats.end(),
                                 [&](const TFileFormat& f) { return f.Extension == ext; }),
                  formats.end());
    formats.push_back({ext, description, className, std::move(factory)});
}

const std::vector<TFileFormat>& TPicture::FileFormats() {
    return Formats();
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::TakeGraphic(std::unique_ptr<TGraphic> graphic) {
    FGraphic = std::move(graphic);
    FShared = false;
    if (FGraphic)
        FGraphic->OnChange = [this](TObject*) { Changed(); };
    Changed();
}

void TPicture::Share(std::shared_ptr<TGraphic> graphic) {
    // A shared picture's change handler belongs to nobody: any holder may go first.
    FGraphic = std::move(graphic);
    FShared = FGraphic != nullptr;
    Changed();
}

void TPicture::Changed() {
    if (OnChange)
        OnChange(this);
}

void TPicture::SetGraphic(TGraphic* graphic) {
    if (!graphic) {
        TakeGraphic(nullptr);
        return;
    }
    const TFileFormat* format = FormatForClass(ClassNameOf(graphic));
    if (!format)
        RaiseAssignError(graphic, this);
    std::unique_ptr<TGraphic> copy = format->Create();
    copy->Assign(graphic);
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

std::unique_ptr<TGraphic> TPicture::NewGraphicFor(const std::string& path) {
    std::string extension = ExtensionOf(path);
    const TFileFormat* format = FormatForExtension(extension);
    if (!format)
        throw EInvalidGraphic("Unknown picture file extension (." + extension + ")");
    return format->Create();
}

void TPicture::LoadFromFile(const std::string& path) {
    std::unique_ptr<TGraphic> graphic = NewGraphicFor(path);
    graphic->LoadFromFile(path);
    TakeGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& path) {
    if (FGraphic)
        FGraphic->SaveToFile(path);
}

void TPicture::Assign(TPersistent* source) {
    if (!source) {
        SetGraphic(nullptr);
    } else if (auto* picture = dynamic_cast<TPicture*>(source)) {
        SetGraphic(picture->Graphic());
    } else if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
        SetGraphic(graphic);
    } else {
        RaiseAssignError(source, this);
    }
}

} // namespace zorbalin
