// The toolkit's picture classes: TGraphic, the abstract picture, and TPicture, the holder of one
// picture that picks the picture's class by file extension from a registry of formats.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gdi/gdi.h"
#include "toolkit/classes.h"
#include "toolkit/geometry.h"

namespace zorbalin {

class TCanvas;
class TStream;
class TBitmap;

// Clipboard data travels as the bytes of a packed DIB (BITMAPINFO + pixels) for CF_DIB.
constexpr unsigned short CF_BITMAP = 2;
constexpr unsigned short CF_DIB = 8;
using TClipboardData = std::vector<std::uint8_t>;

class TGraphic : public TPersistent {
  public:
    TGraphic() = default;
    ~TGraphic() override = default;

    // Copies `source` into this picture. The default hands over to source->AssignTo(this), and
    // raises "Cannot assign a %s to a %s" for a null source.
    virtual void Assign(TPersistent* Source);
    // Copies this picture into `destination`; the default raises "Cannot assign a %s to a %s".
    virtual void AssignTo(TPersistent* Destination);

    // Draws the picture into `rect` of the canvas's device context (right/bottom exclusive).
    virtual void Draw(TCanvas& Canvas, const TRect& Rect) = 0;

    virtual bool GetEmpty() const = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual void SetWidth(int Width) = 0;
    virtual void SetHeight(int Height) = 0;
    virtual HPALETTE GetPalette() const { return nullptr; }
    virtual void SetPalette(HPALETTE) {}
    // The transparent flag: stored and signalled; what it does is up to the picture class.
    virtual bool GetTransparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);

    bool Empty() const { return GetEmpty(); }
    int Width() const { return GetWidth(); }
    int Height() const { return GetHeight(); }
    bool Transparent() const { return GetTransparent(); }

    virtual void LoadFromStream(TStream& Stream) = 0;
    virtual void SaveToStream(TStream& Stream) = 0;
    // Opens the file (EFOpenError with the path and the system's reason) and loads from it.
    virtual void LoadFromFile(const std::string& Path);
    // Creates the file (EFCreateError) and saves into it.
    virtual void SaveToFile(const std::string& Path);
    // Clipboard exchange; the defaults raise EInvalidGraphic "Unsupported clipboard format".
    virtual void LoadFromClipboardFormat(unsigned short Format, const TClipboardData& Data,
                                         HPALETTE Palette);
    virtual void SaveToClipboardFormat(unsigned short& Format, TClipboardData& Data,
                                       HPALETTE& Palette);

    // Called after every change of the picture's contents, with the picture as sender.
    TNotifyEvent OnChange;

  protected:
    void Changed();

  private:
    bool FTransparent = false;
};

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

// One registered picture format.
struct TFileFormat {
    std::string Extension;   // without the dot, compared without regard to letter case
    std::string Description; // "Portable Network Graphics"
    std::string ClassName;   // the class the factory makes ("TPNGObject")
    TGraphicFactory Create;
};

class TPicture : public TPersistent {
  public:
    TPicture();
    ~TPicture() override;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // Adds a format (TBitmap is registered for "bmp" from the start). A later registration of
    // the same extension replaces the earlier one.
    static void RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                   TGraphicFactory Factory);
    static const std::vector<TFileFormat>& FileFormats();

    // The held picture, or null. A shared picture (Share) must not be changed through it.
    TGraphic* Graphic() const { return FGraphic.get(); }
    // Replaces the held picture with a copy of `graphic` (a new object of its class, Assign'ed
    // from it); null empties the holder. The class must be registered.
    void SetGraphic(TGraphic* Graphic);
    // Holds `graphic` itself, shared with every other holder of it, instead of a copy: many
    // controls can show one large picture held in memory once. Its changes are not followed.
    void Share(std::shared_ptr<TGraphic> Graphic);
    // The held picture as a bitmap: an empty TBitmap replaces anything else, and a shared
    // bitmap is copied first, so that changing it changes this holder only.
    TBitmap& Bitmap();
    int Width() const;
    int Height() const;

    // Makes a picture of the class registered for the file's extension and loads the file;
    // an unknown extension raises EInvalidGraphic "Unknown picture file extension (.ext)".
    void LoadFromFile(const std::string& Path);
    // An empty picture of the class registered for the file's extension (the same error).
    static std::unique_ptr<TGraphic> NewGraphicFor(const std::string& Path);
    void SaveToFile(const std::string& Path);
    // From a TPicture (copies its picture), a TGraphic (copies it) or null (empties).
    void Assign(TPersistent* Source);

    TNotifyEvent OnChange;

  private:
    void TakeGraphic(std::unique_ptr<TGraphic> Graphic);
    void Changed();

    std::shared_ptr<TGraphic> FGraphic;
    bool FShared = false;
};

} // namespace zorbalin
