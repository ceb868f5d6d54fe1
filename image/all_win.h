#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/picture.h"

namespace kelvad {

struct PluginCalls;
class PluginSource;

// The image loader: turns an image file into a picture held in memory. BMP, ICO, WMF and EMF are read by
// the toolkit's readers; the other kinds through an image plug-in library (loaded per file by its full path, from
// pluginFolder or else the system folder, and released after it). Failures are shown in a message dialog and leave
// PictureName empty.
//
// The loaded picture is GetPicture(): Kind::Bitmap for BMP and every plug-in kind (with Palette() when one
// was built for an 8-bit display), Kind::Icon for ICO, Kind::Metafile for WMF and EMF (both held as an
// enhanced metafile); its size is GetPicture().Width() / Height().
// Takes the current folder and the PATH folders out of the search for libraries (the program's own folder and
// the system folder stay), so that no library planted there runs as code in the program. Called once at start.
void RestrictLibrarySearch();

class TAll : public ui::PictureControl {
public:
    // owner: the form that contains the loader (its window gets the picture's palette); may be null. showMessage:
    // where the loader's messages go; by default the plain message dialog captioned with the application's title.
    explicit TAll(ui::Form* owner, std::function<void(const std::wstring& message)> showMessage = nullptr);

    // The file's full path, UTF-16 as the system names it.
    const std::wstring& PictureName() const noexcept { return pictureName_; }
    // Stores the name and loads it (empty: clears the picture, Error 0). When a BMP, ICO, WMF or EMF file
    // cannot be opened or read, ui::Error is thrown to the caller; every other failure is shown and leaves
    // PictureName empty with Error telling why.
    // A plug-in is given the name in the ANSI code page, as its interface takes it; a name that code page cannot
    // carry exactly goes to the plug-in as the file's bytes in memory instead.
    void SetPictureName(const std::wstring& name);

    // JPEG only: load the plug-in's quarter-size preview instead of the full picture. Setting it reloads.
    bool PreView() const noexcept { return preView_; }
    void SetPreView(bool value);

    // JPEG only: the full size the plug-in reported; 0 after a load of any other kind.
    int OrgWidth() const noexcept { return orgWidth_; }
    int OrgHeight() const noexcept { return orgHeight_; }

    // 0 loaded (or name set empty), 1 other failure, 2 not a valid picture, 10 unsupported extension,
    // 20 plug-in library not loadable; any other value is the plug-in's own result code.
    int Error() const noexcept { return error_; }
    // Which loader served the last extension: 0 native, 1 JPEG ... 8 PI, 9 PNG.
    int LoaderKind() const noexcept { return loaderKind_; }

    // Shows a loader message ("text [name]"): the one path of every message about a picture, set by the
    // constructor. Tests replace it.
    std::function<void(const std::wstring& message)> showMessage;
    // The display's bits per pixel, which decides whether a palette is built; by default asked of the
    // screen. Tests replace it to run the palette path on any display.
    std::function<int()> displayBitsPerPixel;
    // The folder the plug-ins are loaded from, ending in a backslash; by default the program's own folder. Tests
    // point it at their own plug-ins.
    std::wstring pluginFolder;

private:
    void LoadPicture();
    void Show(const std::string& text);
    void Fail(int error, const std::string& text);
    void LoadNative(const std::string& extension);
    void LoadThroughPlugin(int kind, const char* library, const char* typeName);
    void LoadPngIcon(std::vector<unsigned char> png);
    void LoadJpeg(const PluginCalls& calls, const PluginSource& source);
    bool LoadWhole(const PluginCalls& calls, const PluginSource& source);
    void SquarePixels(unsigned xDensity, unsigned yDensity);
    bool SetPixels(HGLOBAL info, HGLOBAL bits, int width, int height, bool mayBuildPalette);

    std::wstring pictureName_;
    bool preView_ = false;
    int orgWidth_ = 0;
    int orgHeight_ = 0;
    int error_ = 0;
    int loaderKind_ = 0;
};

} // namespace kelvad
