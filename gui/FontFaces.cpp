#include "FontFaces.h"

#include <windows.h>

#include <map>
#include <utility>

namespace {

// Bitmap faces and the TrueType face drawn to their design, which scales.
const struct {
    const char* bitmap;
    const char* outline;
} kTwins[] = {
    {"MS Sans Serif", "Microsoft Sans Serif"},
};

struct Search {
    int height;
    bool found = false;
};

int CALLBACK NoteSize(const LOGFONTA*, const TEXTMETRICA* metric, DWORD type, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    const int character = metric->tmHeight - metric->tmInternalLeading;
    // A TrueType or vector face of that name scales to any height.
    if (!(type & RASTER_FONTTYPE) || (search->height < 0 ? -search->height == character : search->height == metric->tmHeight))
        search->found = true;
    return search->found ? 0 : 1;
}

bool HasHeight(const std::string& face, int height) {
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, face.c_str(), LF_FACESIZE);
    Search search{height};
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExA(screen, &wanted, NoteSize, reinterpret_cast<LPARAM>(&search), 0);
    ReleaseDC(nullptr, screen);
    return search.found;
}

}  // namespace

std::string FaceForHeight(const std::string& face, int height) {
    static std::map<std::pair<std::string, int>, std::string> chosen;
    const auto known = chosen.find({face, height});
    if (known != chosen.end()) return known->second;
    std::string result = face;
    for (const auto& twin : kTwins)
        if (face == twin.bitmap && !HasHeight(face, height)) result = twin.outline;
    chosen[{face, height}] = result;
    return result;
}
