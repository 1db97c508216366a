#include "app/settings/PaneFont.h"

#include <cstring>
#include <string>

#include "app/settings/UserSettings.h"

namespace {

const char* const Section = "Font";

// The font a pane shows: its own, or the system font when it has none set.
LOGFONTA FontOf(Window& pane)
{
    LOGFONTA description = {};
    HGDIOBJ shown = pane.GetFont();
    if (shown == nullptr)
        shown = ::GetStockObject(SYSTEM_FONT);
    ::GetObjectA(shown, sizeof(description), &description);
    return description;
}

// The faces that have the Japanese script: the one asked about when it is
// among them, the first fixed-pitch one, the first of any pitch.
struct JapaneseFaces {
    std::string asked;
    bool askedHasIt = false;
    std::string fixedPitch;
    std::string any;
};

int CALLBACK NoteJapaneseFace(const LOGFONTA* found, const TEXTMETRICA*, DWORD, LPARAM facesSoFar)
{
    auto& faces = *reinterpret_cast<JapaneseFaces*>(facesSoFar);
    const std::string face = found->lfFaceName;
    if (face.empty() || face[0] == '@') // the vertical twin of a face
        return 1;
    faces.askedHasIt = faces.askedHasIt || face == faces.asked;
    if (faces.any.empty())
        faces.any = face;
    if (faces.fixedPitch.empty() && (found->lfPitchAndFamily & 3) == FIXED_PITCH)
        faces.fixedPitch = face;
    return 1;
}

// face when it has the Japanese script, else a face that has it (the font
// dialog shows a face's own scripts only), fixed-pitch where there is one;
// "" when none has.
std::string FaceWithJapanese(const std::string& face)
{
    LOGFONTA wanted = {};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    JapaneseFaces faces;
    faces.asked = face;
    HDC screen = ::GetDC(nullptr);
    ::EnumFontFamiliesExA(screen, &wanted, NoteJapaneseFace, reinterpret_cast<LPARAM>(&faces), 0);
    ::ReleaseDC(nullptr, screen);
    if (faces.askedHasIt)
        return face;
    return faces.fixedPitch.empty() ? faces.any : faces.fixedPitch;
}

} // namespace

int PaneFont::Show(const LOGFONTA& description, Window& left, Window& right)
{
    auto made = std::make_unique<Font>();
    if (made->Create(description) != 1)
        return 0;
    const WPARAM handle = reinterpret_cast<WPARAM>(made->GetFont());
    left.SendMessage(WM_SETFONT, handle, TRUE);
    right.SendMessage(WM_SETFONT, handle, TRUE);
    logFont = description;
    font = std::move(made);
    return 1;
}

int PaneFont::Load(Window& left, Window& right)
{
    const UserSettings& settings = UserSettings::Get();
    const std::string face = settings.GetString(Section, "Face", "");
    if (face.empty() || face.size() >= LF_FACESIZE)
        return 0;
    LOGFONTA description = {};
    std::memcpy(description.lfFaceName, face.c_str(), face.size() + 1);
    description.lfHeight = settings.GetInt(Section, "Height", 0);
    description.lfWeight = settings.GetInt(Section, "Weight", FW_NORMAL);
    description.lfItalic = settings.GetInt(Section, "Italic", 0) != 0 ? TRUE : FALSE;
    description.lfCharSet = static_cast<BYTE>(settings.GetInt(Section, "CharSet", SHIFTJIS_CHARSET));
    return Show(description, left, right);
}

void PaneFont::Save() const
{
    UserSettings& settings = UserSettings::Get();
    settings.SetString(Section, "Face", logFont.lfFaceName);
    settings.SetInt(Section, "Height", logFont.lfHeight);
    settings.SetInt(Section, "Weight", logFont.lfWeight);
    settings.SetInt(Section, "Italic", logFont.lfItalic != 0 ? 1 : 0);
    settings.SetInt(Section, "CharSet", logFont.lfCharSet);
}

int PaneFont::Choose(Window& owner, Window& left, Window& right)
{
    LOGFONTA description = logFont;
    if (font == nullptr) {
        description = FontOf(left);
        const std::string face = FaceWithJapanese(description.lfFaceName);
        if (!face.empty() && face.size() < LF_FACESIZE)
            std::memcpy(description.lfFaceName, face.c_str(), face.size() + 1);
        description.lfCharSet = SHIFTJIS_CHARSET;
    }
    CHOOSEFONTA choice = {};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = owner.GetHandle();
    choice.lpLogFont = &description;
    choice.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_NOVERTFONTS;
    if (!::ChooseFontA(&choice) || Show(description, left, right) != 1)
        return 0;
    Save();
    return 1;
}
