#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "ui/error.h"
#include "ui/handle.h"

namespace ui {

class Form;

// Raised by Picture::LoadFromFile when the file is read but is not a valid picture of its kind.
class InvalidPicture : public Error {
public:
    explicit InvalidPicture(const std::string& message) : Error(message) {}
    explicit InvalidPicture(const std::wstring& message) : Error(message) {}
};

// Picture files larger than this are not read into memory.
inline constexpr long long kMaxPictureFileSize = 1LL << 30;

// The whole file. Opening or reading it fails with Error, a file above kMaxPictureFileSize with InvalidPicture.
std::vector<unsigned char> ReadWholeFile(const std::wstring& path);

// The image of an icon file's first entry when it is a PNG file (which the platform's icon reader takes with red and
// blue exchanged); empty otherwise.
std::vector<unsigned char> PngIconImage(const std::vector<unsigned char>& file);

// One picture held in memory: empty, a bitmap (with the palette it was made for, if any), an icon or a
// metafile. Width and height are in pixels; a metafile's are its nominal size in display pixels.
class Picture {
public:
    enum class Kind { Empty, Bitmap, Icon, Metafile };

    Picture() = default;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    Kind GetKind() const noexcept { return kind_; }
    bool Empty() const noexcept { return kind_ == Kind::Empty; }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    // The picture's bitmap (Kind::Bitmap); drawing into it (mirroring) changes the picture itself.
    HBITMAP Bitmap() const noexcept { return static_cast<HBITMAP>(bitmap_.get()); }
    // The bitmap's logical palette; null when none was built (always on displays of more than 8 bits).
    HPALETTE Palette() const noexcept { return static_cast<HPALETTE>(palette_.get()); }
    HICON Icon() const noexcept { return icon_.get(); }
    // WMF files are held as an enhanced metafile too, so one playback call serves both.
    HENHMETAFILE Metafile() const noexcept { return metafile_.get(); }

    void Clear() noexcept;
    // Takes ownership of a bitmap and of its palette (palette may be empty).
    void AssignBitmap(GdiObject bitmap, GdiObject palette);
    // Reads a .BMP, .ICO, .WMF or .EMF file (the extension, upper-cased, picks the reader).
    // Throws InvalidPicture for a file that is not a valid picture of its kind, and Error when the file
    // cannot be opened or read.
    void LoadFromFile(const std::wstring& path, const std::string& upperExtension);

private:
    Kind kind_ = Kind::Empty;
    int width_ = 0;
    int height_ = 0;
    GdiObject bitmap_;
    GdiObject palette_;
    IconHandle icon_;
    EnhMetafile metafile_;

    // The image of an .ICO file's first entry, at the size its directory gives.
    void ReadIcon(const std::vector<unsigned char>& data, const InvalidPicture& invalid);
};

// A windowless control that holds one picture; with AutoSize its size follows the picture.
class PictureControl {
public:
    explicit PictureControl(Form* owner) noexcept : owner_(owner) {}
    virtual ~PictureControl() = default;
    PictureControl(const PictureControl&) = delete;
    PictureControl& operator=(const PictureControl&) = delete;

    Picture& GetPicture() noexcept { return picture_; }
    const Picture& GetPicture() const noexcept { return picture_; }
    // The form that contains the control (may be null).
    Form* Owner() const noexcept { return owner_; }

    bool AutoSize() const noexcept { return autoSize_; }
    void SetAutoSize(bool value) noexcept;
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    void SetSize(int width, int height) noexcept;

protected:
    // Called after the picture changed: adopts its size when AutoSize is on.
    void PictureChanged() noexcept;

private:
    Form* owner_;
    Picture picture_;
    bool autoSize_ = false;
    int width_ = 0;
    int height_ = 0;
};

} // namespace ui
