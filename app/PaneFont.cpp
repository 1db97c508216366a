#include "app/PaneFont.h"

#include <cstring>
#include <string>

#include "app/UserSettings.h"

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
