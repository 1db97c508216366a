// Reads the resources back out of the built Quorvane.exe and compares them
// with what the editor, its dialogs and the shell rely on: windres picks
// defaults and encodings of its own, so the script alone proves nothing.
#include <gtest/gtest.h>

#include <functional>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "QuorvaneVersion.h"
#include "framework/Win32.h"
#include "support/EditorProcess.h"
#include "support/HandleOwner.h"
#include "util/VersionInfo.h"

namespace {

constexpr WORD Japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT); // 0x0411

using Bytes = std::vector<unsigned char>;

// The raw bytes of one resource in the Japanese language, empty if missing.
Bytes ResourceBytes(HMODULE module, LPCSTR type, WORD id)
{
    HRSRC found = ::FindResourceExA(module, type, MAKEINTRESOURCEA(id), Japanese);
    if (found == nullptr)
        return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    DWORD size = ::SizeofResource(module, found);
    const auto* data = static_cast<const unsigned char*>(::LockResource(loaded));
    if (data == nullptr)
        return {};
    return Bytes(data, data + size);
}

std::string ToCodePage932(const std::wstring& text)
{
    if (text.empty())
        return {};
    int length = ::WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
    std::string out(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), &out[0], length, nullptr,
                          nullptr);
    return out;
}

// Reads little-endian fields of a resource; running past the end sets
// failed and yields zeros, so a truncated template fails the comparisons.
class Reader {
public:
    explicit Reader(const Bytes& b) : bytes(b) {}

    uint16_t Word()
    {
        if (pos + 2 > bytes.size()) {
            failed = true;
            pos = bytes.size();
            return 0;
        }
        uint16_t value = static_cast<uint16_t>(bytes[pos] | (bytes[pos + 1] << 8));
        pos += 2;
        return value;
    }
    uint32_t Dword()
    {
        uint32_t low = Word();
        return low | (static_cast<uint32_t>(Word()) << 16);
    }
    int16_t Short() { return static_cast<int16_t>(Word()); }
    uint8_t Byte()
    {
        if (pos + 1 > bytes.size()) {
            failed = true;
            return 0;
        }
        return bytes[pos++];
    }
    // A zero-terminated UTF-16 string, returned in code page 932.
    std::string String()
    {
        std::wstring text;
        for (uint16_t c = Word(); c != 0 && !failed; c = Word())
            text += static_cast<wchar_t>(c);
        return ToCodePage932(text);
    }
    // A name-or-ordinal field: 0xFFFF then an ordinal, or a string.
    void NameOrOrdinal(std::string* name, uint16_t* ordinal)
    {
        *ordinal = 0;
        name->clear();
        if (pos + 2 <= bytes.size() && bytes[pos] == 0xFF && bytes[pos + 1] == 0xFF) {
            Word();
            *ordinal = Word();
        } else {
            *name = String();
        }
    }
    void AlignToDword() { pos = (pos + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t count) { pos += count; }
    bool AtEnd() const { return pos >= bytes.size(); }

    bool failed = false;

private:
    const Bytes& bytes;
    size_t pos = 0;
};

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::set<WORD>*>(param)->insert(language);
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    reinterpret_cast<std::vector<uintptr_t>*>(param)->push_back(reinterpret_cast<uintptr_t>(name));
    return TRUE;
}

// Every test reads the editor's executable mapped as data.
class Resources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, exe.Get()) << EditorProcess::Path(); }

    ModuleHandle exe{EditorProcess::LoadAsData()};
};

// --- menu -------------------------------------------------------------------

struct MenuRow {
    bool popup;
    uint16_t flags; // as stored in the template, MF_END included
    uint16_t id;    // items only
    const char* text;
};

const MenuRow ExpectedMenu[] = {
    {true, MF_POPUP, 0, "ファイル(&F)"},
    {false, 0, 32773, "ファイルを開く\tCtrl+O"},
    {false, 0, 32775, "ファイルを保存\tCtrl+S"},
    {false, 0, 32777, "ファイルを名前を付けて保存\tCtrl+Shift+S"},
    {true, MF_POPUP, 0, "開き直す (文字コード指定)"},
    {false, 0, 32930, "自動判別"},
    {false, 0, 32931, "SJIS (CP932)"},
    {false, 0, 32932, "UTF-8"},
    {false, 0, 32933, "UTF-16LE"},
    {false, 0, 32934, "UTF-16BE"},
    {false, MF_END, 32935, "EUC-JP"},
    {false, MF_END, 105, "アプリケーションの終了(&X)"},
    {true, MF_POPUP, 0, "編集"},
    {false, 0, 32907, "元に戻す\tCtrl+Z"},
    {false, 0, 32908, "やり直し\tCtrl+Y"},
    {false, 0, 0, ""}, // a separator
    {false, 0, 1007, "検索\tCtrl+F"},
    {false, 0, 32781, "次を検索\tF3"},
    {false, 0, 32900, "前を検索\tShift+F3"},
    {false, 0, 32850, "置換\tCtrl+H"},
    {false, 0, 32787, "grep検索\tCtrl+G"},
    {false, 0, 32783, "ディレクトリ一覧を表示"},
    {false, 0, 32785, "左右の文章を入れ替える"},
    {false, 0, 32901, "指定行へジャンプ\tCtrl+J"},
    {false, 0, 32902, "タグジャンプ\tF12"},
    {false, MF_END, 32903, "タグジャンプバック\tShift+F12"},
    {true, MF_POPUP, 0, "表示"},
    {false, 0, 32851, "フォント…"},
    {false, 0, 0, ""},
    {false, 0, 32920, "ステータスバー"},
    {false, 0, 32921, "行番号"},
    {false, 0, 32922, "折り返し"},
    {false, 0, 32926, "前回のファイルを開く"},
    {false, 0, 0, ""},
    {false, 0, 32923, "拡大\tCtrl++"},
    {false, 0, 32924, "縮小\tCtrl+-"},
    {false, MF_END, 32925, "元のサイズ\tCtrl+0"},
    {true, MF_POPUP | MF_END, 0, "ヘルプ(&H)"},
    {false, 0, 32790, "壁紙を変更する"},
    {false, MF_END, 104, "バージョン情報 ...(&A)\tAlt+/"},
};

struct ParsedMenuRow {
    bool popup;
    uint16_t flags;
    uint16_t id;
    std::string text;
};

TEST_F(Resources, EveryResourceIsJapaneseOnly)
{
    struct Entry {
        LPCSTR type;
        WORD id;
        const char* name;
    };
    std::vector<Entry> entries = {
        {RT_MENU, 109, "menu 109"},          {RT_ACCELERATOR, 109, "accelerators 109"},
        {RT_DIALOG, 102, "dialog 102"},      {RT_DIALOG, 129, "dialog 129"},
        {RT_DIALOG, 130, "dialog 130"},      {RT_DIALOG, 140, "dialog 140"},
        {RT_DIALOG, 150, "dialog 150"},      {RT_DIALOG, 160, "dialog 160"},
        {RT_DIALOG, 170, "dialog 170"},
        {RT_GROUP_ICON, 107, "icon group 107"},
        {RT_GROUP_ICON, 108, "icon group 108"}, {RT_STRING, 7, "string block 7 (ids 96-111)"},
        {RT_VERSION, 1, "version 1"},
    };
    for (WORD icon = 1; icon <= 16; ++icon)
        entries.push_back({RT_ICON, icon, "an icon image"});
    for (const Entry& entry : entries) {
        std::set<WORD> languages;
        ::EnumResourceLanguagesA(exe.Get(), entry.type, MAKEINTRESOURCEA(entry.id), CollectLanguage,
                                 reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_EQ(std::set<WORD>{Japanese}, languages) << entry.name << " id " << entry.id;
    }
}

TEST_F(Resources, MenuTemplateHasTheCommandsAndEndMarks)
{
    Bytes bytes = ResourceBytes(exe.Get(), RT_MENU, 109);
    ASSERT_FALSE(bytes.empty());
    Reader in(bytes);
    EXPECT_EQ(0, in.Word()) << "standard menu template version";
    EXPECT_EQ(0, in.Word()) << "standard menu template header size";
    std::vector<ParsedMenuRow> rows;
    while (!in.AtEnd() && !in.failed) {
        ParsedMenuRow row{};
        row.flags = in.Word();
        row.popup = (row.flags & MF_POPUP) != 0;
        if (!row.popup)
            row.id = in.Word();
        row.text = in.String();
        rows.push_back(row);
    }
    EXPECT_FALSE(in.failed);
    ASSERT_EQ(std::size(ExpectedMenu), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const MenuRow& want = ExpectedMenu[i];
        const ParsedMenuRow& got = rows[i];
        SCOPED_TRACE(testing::Message() << "menu template entry " << i << " " << want.text);
        EXPECT_EQ(want.popup, got.popup);
        EXPECT_EQ(want.flags, got.flags);
        EXPECT_EQ(want.id, got.id);
        EXPECT_EQ(want.text, got.text);
    }
}

TEST_F(Resources, LoadedMenuReadsBackInCodePage932)
{
    MenuHandle menu(::LoadMenuA(exe.Get(), MAKEINTRESOURCEA(109)));
    ASSERT_NE(nullptr, menu.Get());

    // Depth first, as the template lists them: a popup, then its entries.
    std::vector<ParsedMenuRow> rows;
    std::function<void(HMENU)> walk = [&](HMENU level) {
        for (int i = 0; i < ::GetMenuItemCount(level); ++i) {
            char text[128] = {};
            ::GetMenuStringA(level, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
            const auto state = static_cast<uint16_t>(::GetMenuState(level, static_cast<UINT>(i), MF_BYPOSITION) &
                                                     (MF_GRAYED | MF_DISABLED | MF_CHECKED));
            HMENU sub = ::GetSubMenu(level, i);
            rows.push_back({sub != nullptr, state, static_cast<uint16_t>(sub != nullptr ? 0 : ::GetMenuItemID(level, i)), text});
            if (sub != nullptr)
                walk(sub);
        }
    };
    walk(menu.Get());
    ASSERT_EQ(std::size(ExpectedMenu), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const MenuRow& want = ExpectedMenu[i];
        const ParsedMenuRow& got = rows[i];
        SCOPED_TRACE(testing::Message() << "loaded menu entry " << i << " " << want.text);
        EXPECT_EQ(want.popup, got.popup);
        if (want.id != 0 || want.popup) { // a separator is drawn grayed
            EXPECT_EQ(0, got.flags) << "no entry starts grayed, disabled or checked";
        }
        EXPECT_EQ(want.id, got.id);
        EXPECT_EQ(want.text, got.text);
    }
}

// --- accelerators -------------------------------------------------------

TEST_F(Resources, AcceleratorTableHoldsEveryShortcut)
{
    // fVirt, padding, key, command, padding: the first two ACCELTABLEENTRY
    // records, Alt+/ and Alt+? as ASCII keys.
    const Bytes expectedStart = {0x12, 0x00, 0x2F, 0x00, 0x68, 0x00, 0x00, 0x00,
                                 0x12, 0x00, 0x3F, 0x00, 0x68, 0x00, 0x00, 0x00};
    Bytes bytes = ResourceBytes(exe.Get(), RT_ACCELERATOR, 109);
    ASSERT_GE(bytes.size(), expectedStart.size());
    EXPECT_EQ(expectedStart, Bytes(bytes.begin(), bytes.begin() + expectedStart.size()));
    EXPECT_EQ(0x80, bytes[bytes.size() - 8] & 0x80) << "the last record carries the end bit";

    AcceleratorHandle table(::LoadAcceleratorsA(exe.Get(), MAKEINTRESOURCEA(109)));
    ASSERT_NE(nullptr, table.Get());
    const BYTE key = FVIRTKEY | FNOINVERT;
    const ACCEL want[] = {
        {FALT | FNOINVERT, '/', 104},
        {FALT | FNOINVERT, '?', 104},
        {key | FCONTROL, 'O', 32773},
        {key | FCONTROL, 'S', 32775},
        {key | FCONTROL | FSHIFT, 'S', 32777},
        {key | FCONTROL, 'F', 1007},
        {key, VK_F3, 32781},
        {key | FSHIFT, VK_F3, 32900},
        {key | FCONTROL, 'G', 32787},
        {key | FCONTROL, 'J', 32901},
        {key, VK_F12, 32902},
        {key | FSHIFT, VK_F12, 32903},
        {key | FCONTROL, 'A', 32904},
        {key | FCONTROL, 'Z', 32907},
        {key | FCONTROL, 'Y', 32908},
        {key | FCONTROL | FSHIFT, 'Z', 32908},
        {key | FCONTROL, 'H', 32850},
        {key | FCONTROL, 'R', 32850},
        {key | FCONTROL, VK_OEM_PLUS, 32923},
        {key | FCONTROL | FSHIFT, VK_OEM_PLUS, 32923},
        {key | FCONTROL, VK_ADD, 32923},
        {key | FCONTROL, VK_OEM_MINUS, 32924},
        {key | FCONTROL, VK_SUBTRACT, 32924},
        {key | FCONTROL, '0', 32925},
        {key | FCONTROL, VK_NUMPAD0, 32925},
    };
    ACCEL entries[32] = {};
    ASSERT_EQ(static_cast<int>(std::size(want)), ::CopyAcceleratorTableA(table.Get(), entries, 32));
    for (size_t i = 0; i < std::size(want); ++i) {
        SCOPED_TRACE(testing::Message() << "accelerator " << i << " command " << want[i].cmd);
        EXPECT_EQ(want[i].fVirt, entries[i].fVirt & 0x7F);
        EXPECT_EQ(want[i].key, entries[i].key);
        EXPECT_EQ(want[i].cmd, entries[i].cmd);
    }
}

// --- dialogs ------------------------------------------------------------

constexpr uint16_t AtomButton = 0x80;
constexpr uint16_t AtomEdit = 0x81;
constexpr uint16_t AtomStatic = 0x82;

struct ControlRow {
    int32_t id;
    uint16_t classAtom;
    const char* text;     // nullptr when the text is an ordinal
    uint16_t textOrdinal; // resource id shown by an icon control
    uint32_t style;
    int16_t x, y, cx, cy;
};

struct DialogRow {
    uint16_t id;
    uint32_t style;
    int16_t x, y, cx, cy;
    const char* title;
    uint16_t pointSize;
    uint16_t weight;
    uint8_t italic;
    uint8_t charset;
    const char* font;
    std::vector<ControlRow> controls;
};

constexpr uint32_t Child = WS_CHILD | WS_VISIBLE;

const std::vector<DialogRow>& ExpectedDialogs()
{
    static const std::vector<DialogRow> dialogs = {
        {102, WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 22, 17, 193, 43, "バージョン情報", 9, 0, 0,
         ANSI_CHARSET, "System",
         {
             {2, AtomStatic, nullptr, 107, Child | SS_ICON, 6, 8, 20, 20},
             {-1, AtomStatic, "Quorvane Ver0.6", 0, Child | WS_GROUP | SS_LEFT | SS_NOPREFIX, 31, 8, 119, 8},
             {-1, AtomStatic, "Zelkエディタ", 0, Child | WS_GROUP | SS_LEFT, 32, 19, 53, 8},
             {IDOK, AtomButton, "OK", 0, Child | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 154, 12, 30, 11},
         }},
        {129, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS, 0, 0, 257, 66, "検索",
         8, 400, 0, DEFAULT_CHARSET, "MS Shell Dlg",
         {
             {IDOK, AtomButton, "OK", 0, Child | WS_TABSTOP | BS_DEFPUSHBUTTON, 203, 1, 50, 14},
             {IDCANCEL, AtomButton, "キャンセル", 0, Child | WS_TABSTOP | BS_PUSHBUTTON, 203, 22, 50, 14},
             {1007, AtomEdit, "", 0, Child | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 69, 3, 128, 12},
             {-1, AtomStatic, "検索する文字列", 0, Child | WS_GROUP | SS_LEFT, 7, 7, 59, 8},
             {-1, AtomStatic, "検索する方向", 0, Child | WS_GROUP | SS_LEFT, 71, 26, 46, 10},
             {1038, AtomButton, "上へ", 0, Child | WS_TABSTOP | BS_AUTORADIOBUTTON, 129, 26, 31, 10},
             {1010, AtomButton, "下へ", 0, Child | WS_TABSTOP | BS_AUTORADIOBUTTON, 167, 26, 31, 10},
             {1111, AtomButton, "大文字と小文字を区別する", 0, Child | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, 7,
              40, 112, 10},
             {1112, AtomButton, "単語単位で探す", 0, Child | WS_TABSTOP | BS_AUTOCHECKBOX, 129, 40, 80, 10},
             {1116, AtomButton, "正規表現", 0, Child | WS_TABSTOP | BS_AUTOCHECKBOX, 7, 52, 112, 10},
         }},
        {130, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS, 0, 0, 202, 100,
         "grep検索", 8, 400, 0, DEFAULT_CHARSET, "MS Shell Dlg",
         {
             {1007, AtomEdit, "", 0, Child | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 76, 2, 121, 12},
             {-1, AtomStatic, "grep検索する文字列", 0, Child | WS_GROUP | SS_LEFT, 4, 4, 68, 8},
             {1150, AtomEdit, "", 0, Child | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 76, 18, 121, 12},
             {-1, AtomStatic, "対象ファイル", 0, Child | WS_GROUP | SS_LEFT, 4, 20, 68, 8},
             {1151, AtomEdit, "", 0, Child | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 76, 34, 121, 12},
             {-1, AtomStatic, "除外フォルダ", 0, Child | WS_GROUP | SS_LEFT, 4, 36, 68, 8},
             {1111, AtomButton, "大文字と小文字を区別する", 0, Child | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, 4, 52,
              112, 10},
             {1112, AtomButton, "単語単位で探す", 0, Child | WS_TABSTOP | BS_AUTOCHECKBOX, 120, 52, 77, 10},
             {1116, AtomButton, "正規表現", 0, Child | WS_TABSTOP | BS_AUTOCHECKBOX, 4, 64, 112, 10},
             {IDOK, AtomButton, "OK", 0, Child | WS_TABSTOP | BS_DEFPUSHBUTTON, 41, 82, 50, 14},
             {IDCANCEL, AtomButton, "キャンセル", 0, Child | WS_TABSTOP | BS_PUSHBUTTON, 111, 82, 50, 14},
         }},
        {140, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS, 0, 0, 186, 44,
         "指定行へジャンプ", 8, 400, 0, DEFAULT_CHARSET, "MS Shell Dlg",
         {
             {-1, AtomStatic, "行番号", 0, Child | WS_GROUP | SS_LEFT, 7, 8, 30, 8},
             {1100, AtomEdit, "", 0, Child | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | ES_NUMBER, 40, 6, 60,
              12},
             {1101, AtomStatic, "(1-1)", 0, Child | WS_GROUP | SS_LEFT | SS_NOPREFIX, 104, 8, 76, 8},
             {IDOK, AtomButton, "OK", 0, Child | WS_TABSTOP | BS_DEFPUSHBUTTON, 40, 25, 50, 14},
             {IDCANCEL, AtomButton, "キャンセル", 0, Child | WS_TABSTOP | BS_PUSHBUTTON, 96, 25, 50, 14},
         }},
        {150, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS, 0, 0, 282, 92, "置換", 8,
         400, 0, DEFAULT_CHARSET, "MS Shell Dlg",
         {
             {-1, AtomStatic, "検索する文字列", 0, Child | WS_GROUP | SS_LEFT, 7, 9, 62, 8},
             {1007, AtomEdit, "", 0, Child | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 72, 7, 140, 12},
             {-1, AtomStatic, "置換後の文字列", 0, Child | WS_GROUP | SS_LEFT, 7, 27, 62, 8},
             {1113, AtomEdit, "", 0, Child | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 72, 25, 140, 12},
             {-1, AtomStatic, "検索する方向", 0, Child | WS_GROUP | SS_LEFT, 7, 45, 62, 10},
             {1038, AtomButton, "上へ", 0, Child | WS_TABSTOP | BS_AUTORADIOBUTTON, 72, 45, 31, 10},
             {1010, AtomButton, "下へ", 0, Child | WS_TABSTOP | BS_AUTORADIOBUTTON, 110, 45, 31, 10},
             {1111, AtomButton, "大文字と小文字を区別する", 0, Child | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, 7,
              62, 112, 10},
             {1112, AtomButton, "単語単位で探す", 0, Child | WS_TABSTOP | BS_AUTOCHECKBOX, 129, 62, 80, 10},
             {1116, AtomButton, "正規表現", 0, Child | WS_TABSTOP | BS_AUTOCHECKBOX, 7, 74, 112, 10},
             {IDOK, AtomButton, "次を検索", 0, Child | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 222, 6, 53, 14},
             {1114, AtomButton, "置換", 0, Child | WS_TABSTOP | BS_PUSHBUTTON, 222, 24, 53, 14},
             {1115, AtomButton, "すべて置換", 0, Child | WS_TABSTOP | BS_PUSHBUTTON, 222, 42, 53, 14},
             {IDCANCEL, AtomButton, "閉じる", 0, Child | WS_TABSTOP | BS_PUSHBUTTON, 222, 60, 53, 14},
         }},
    };
    return dialogs;
}

TEST_F(Resources, DialogTemplatesMatchTheirLayouts)
{
    // The style words written out, so that a changed constant is caught too.
    const uint32_t literalStyles[] = {0x00C800C0, 0x80C800C8, 0x80C800C8, 0x80C800C8, 0x80C800C8};
    size_t index = 0;
    for (const DialogRow& want : ExpectedDialogs()) {
        SCOPED_TRACE(testing::Message() << "dialog " << want.id << " " << want.title);
        EXPECT_EQ(literalStyles[index++], want.style);
        Bytes bytes = ResourceBytes(exe.Get(), RT_DIALOG, want.id);
        ASSERT_FALSE(bytes.empty());
        Reader in(bytes);
        EXPECT_EQ(1, in.Word()) << "DLGTEMPLATEEX version";
        EXPECT_EQ(0xFFFF, in.Word()) << "DLGTEMPLATEEX signature";
        EXPECT_EQ(0u, in.Dword()) << "help id";
        EXPECT_EQ(0u, in.Dword()) << "extended style";
        EXPECT_EQ(want.style, in.Dword()) << "style";
        uint16_t count = in.Word();
        EXPECT_EQ(want.x, in.Short()) << "x";
        EXPECT_EQ(want.y, in.Short()) << "y";
        EXPECT_EQ(want.cx, in.Short()) << "cx";
        EXPECT_EQ(want.cy, in.Short()) << "cy";
        std::string name;
        uint16_t ordinal = 0;
        in.NameOrOrdinal(&name, &ordinal);
        EXPECT_TRUE(name.empty() && ordinal == 0) << "no menu";
        in.NameOrOrdinal(&name, &ordinal);
        EXPECT_TRUE(name.empty() && ordinal == 0) << "default dialog class";
        EXPECT_EQ(want.title, in.String()) << "title";
        EXPECT_EQ(want.pointSize, in.Word()) << "font size";
        EXPECT_EQ(want.weight, in.Word()) << "font weight";
        EXPECT_EQ(want.italic, in.Byte()) << "italic";
        EXPECT_EQ(want.charset, in.Byte()) << "charset";
        EXPECT_EQ(want.font, in.String()) << "font";

        ASSERT_EQ(want.controls.size(), count) << "number of controls";
        for (size_t i = 0; i < want.controls.size(); ++i) {
            const ControlRow& c = want.controls[i];
            SCOPED_TRACE(testing::Message() << "control " << i << " id " << c.id << " "
                                            << (c.text != nullptr ? c.text : "(icon)"));
            in.AlignToDword();
            EXPECT_EQ(0u, in.Dword()) << "help id";
            EXPECT_EQ(0u, in.Dword()) << "extended style";
            EXPECT_EQ(c.style, in.Dword()) << "style";
            EXPECT_EQ(c.x, in.Short()) << "x";
            EXPECT_EQ(c.y, in.Short()) << "y";
            EXPECT_EQ(c.cx, in.Short()) << "cx";
            EXPECT_EQ(c.cy, in.Short()) << "cy";
            EXPECT_EQ(c.id, static_cast<int32_t>(in.Dword())) << "id";
            in.NameOrOrdinal(&name, &ordinal);
            EXPECT_EQ(c.classAtom, ordinal) << "class atom (got name \"" << name << "\")";
            in.NameOrOrdinal(&name, &ordinal);
            if (c.text != nullptr) {
                EXPECT_EQ(0, ordinal) << "text is a string";
                EXPECT_EQ(c.text, name) << "text";
            } else {
                EXPECT_EQ(c.textOrdinal, ordinal) << "text ordinal";
            }
            uint16_t extra = in.Word();
            EXPECT_EQ(0, extra) << "creation data";
            in.Skip(extra);
        }
        EXPECT_FALSE(in.failed) << "template shorter than its fields";
    }
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

class WindowDC {
public:
    explicit WindowDC(HWND w) : window(w), dc(::GetDC(w)) {}
    ~WindowDC()
    {
        if (dc != nullptr)
            ::ReleaseDC(window, dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc; }

private:
    HWND window;
    HDC dc;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

// The About box's lines are short labels in small rectangles: a longer text
// would wrap or be cut off in the code page 932 dialog font.
TEST_F(Resources, AboutBoxTextsFitTheirControls)
{
    Bytes bytes = ResourceBytes(exe.Get(), RT_DIALOG, 102);
    ASSERT_FALSE(bytes.empty());
    WindowHandle about(::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr),
                                                    reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()), nullptr,
                                                    QuietDialog, 0));
    ASSERT_NE(nullptr, about.Get());
    std::vector<HWND> children;
    ::EnumChildWindows(about.Get(), CollectChild, reinterpret_cast<LPARAM>(&children));
    int measured = 0;
    for (HWND child : children) {
        char text[128] = {};
        ::GetWindowTextA(child, text, sizeof(text));
        if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON || text[0] == '\0')
            continue;
        WindowDC dc(child);
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageA(child, WM_GETFONT, 0, 0));
        HGDIOBJ old = ::SelectObject(dc.Get(), font);
        SIZE extent = {};
        ::GetTextExtentPoint32A(dc.Get(), text, static_cast<int>(std::strlen(text)), &extent);
        ::SelectObject(dc.Get(), old);
        RECT room = {};
        ::GetClientRect(child, &room);
        EXPECT_LE(extent.cx, room.right) << "\"" << text << "\" is too wide";
        EXPECT_LE(extent.cy, room.bottom) << "\"" << text << "\" is too high";
        ++measured;
    }
    EXPECT_EQ(3, measured) << "two static lines and the OK button";
}

// --- icons --------------------------------------------------------------

struct IconRow {
    uint8_t size;
    uint16_t bits;
    uint8_t colours; // the directory's colour count field
    uint32_t bytes;
};

const IconRow ExpectedIcons[] = {
    {32, 4, 16, 744},  {16, 4, 16, 296},  {48, 8, 0, 3752},  {32, 8, 0, 2216},
    {16, 8, 0, 1384},  {48, 32, 0, 9640}, {32, 32, 0, 4264}, {16, 32, 0, 1128},
};

TEST_F(Resources, IconGroupsListEightImagesEach)
{
    struct Group {
        WORD id;
        WORD firstIcon;
    };
    for (Group group : {Group{107, 1}, Group{108, 9}}) {
        Bytes bytes = ResourceBytes(exe.Get(), RT_GROUP_ICON, group.id);
        Reader in(bytes);
        EXPECT_EQ(0, in.Word()) << "group " << group.id << " reserved";
        EXPECT_EQ(1, in.Word()) << "group " << group.id << " type";
        ASSERT_EQ(std::size(ExpectedIcons), in.Word()) << "group " << group.id << " image count";
        for (size_t i = 0; i < std::size(ExpectedIcons); ++i) {
            const IconRow& want = ExpectedIcons[i];
            SCOPED_TRACE(testing::Message() << "group " << group.id << " entry " << i << ": "
                                            << int(want.size) << "x" << int(want.size) << " " << want.bits
                                            << "-bit");
            EXPECT_EQ(want.size, in.Byte()) << "width";
            EXPECT_EQ(want.size, in.Byte()) << "height";
            EXPECT_EQ(want.colours, in.Byte()) << "colour count";
            EXPECT_EQ(0, in.Byte()) << "reserved";
            EXPECT_EQ(1, in.Word()) << "planes";
            EXPECT_EQ(want.bits, in.Word()) << "bit count";
            EXPECT_EQ(want.bytes, in.Dword()) << "bytes in resource";
            EXPECT_EQ(group.firstIcon + i, in.Word()) << "icon id";
        }
        EXPECT_FALSE(in.failed) << "group " << group.id << " directory is short";
        EXPECT_TRUE(in.AtEnd()) << "group " << group.id << " directory has trailing bytes";
    }
}

TEST_F(Resources, IconGroup107IsTheFirstGroupOfTheExecutable)
{
    std::vector<uintptr_t> names;
    ::EnumResourceNamesA(exe.Get(), RT_GROUP_ICON, CollectName, reinterpret_cast<LONG_PTR>(&names));
    EXPECT_EQ((std::vector<uintptr_t>{107, 108}), names);
}

TEST_F(Resources, IconImagesAreDibsWithAnAndMask)
{
    for (size_t i = 0; i < std::size(ExpectedIcons); ++i) {
        const IconRow& want = ExpectedIcons[i];
        WORD id = static_cast<WORD>(i + 1);
        SCOPED_TRACE(testing::Message() << "icon " << id << " / " << id + 8 << ": " << int(want.size) << "x"
                                        << int(want.size) << " " << want.bits << "-bit");
        Bytes image = ResourceBytes(exe.Get(), RT_ICON, id);
        ASSERT_EQ(want.bytes, image.size());
        EXPECT_EQ(image, ResourceBytes(exe.Get(), RT_ICON, static_cast<WORD>(id + 8))) << "108 copies 107";
        EXPECT_NE(0, std::memcmp(image.data(), "\x89PNG", 4)) << "stored as PNG";

        Reader in(image);
        EXPECT_EQ(40u, in.Dword()) << "BITMAPINFOHEADER size";
        EXPECT_EQ(want.size, static_cast<int32_t>(in.Dword())) << "width";
        EXPECT_EQ(want.size * 2, static_cast<int32_t>(in.Dword())) << "height covers image and mask";
        EXPECT_EQ(1, in.Word()) << "planes";
        EXPECT_EQ(want.bits, in.Word()) << "bit count";
        EXPECT_EQ(static_cast<uint32_t>(BI_RGB), in.Dword()) << "compression";
        // Header, full palette, XOR rows and AND rows, each row padded to 32 bits.
        size_t palette = want.bits <= 8 ? (4u << want.bits) : 0;
        size_t xorRow = ((want.size * want.bits + 31) / 32) * 4;
        size_t andRow = ((want.size + 31) / 32) * 4;
        EXPECT_EQ(40 + palette + want.size * (xorRow + andRow), image.size()) << "DIB layout";

        IconHandle icon(::CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE,
                                                   0x00030000, want.size, want.size, LR_DEFAULTCOLOR));
        EXPECT_NE(nullptr, icon.Get()) << "the system cannot make an icon of it";
    }
}

// --- strings ------------------------------------------------------------

TEST_F(Resources, StringTableHoldsOnlyTheTwoNames)
{
    for (UINT id = 96; id <= 111; ++id) {
        const char* want = id == 103 ? "ZelkTest01" : id == 109 ? "ZELKTEST01" : "";
        char text[64] = {};
        int length = ::LoadStringA(exe.Get(), id, text, sizeof(text));
        EXPECT_EQ(static_cast<int>(std::strlen(want)), length) << "string " << id;
        EXPECT_STREQ(want, text) << "string " << id;
    }
}

// --- version ----------------------------------------------------------------

// One string of the version resource's Japanese/Unicode block, "" if missing.
std::string VersionString(const std::string& path, const char* name)
{
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> block(size);
    void* value = nullptr;
    UINT length = 0;
    std::string query = std::string("\\StringFileInfo\\041104b0\\") + name;
    if (size == 0 || !::GetFileVersionInfoA(path.c_str(), 0, size, block.data()) ||
        !::VerQueryValueA(block.data(), query.c_str(), &value, &length) || length == 0)
        return {};
    return static_cast<const char*>(value);
}

TEST_F(Resources, VersionResourceCarriesTheProjectVersion)
{
    const std::string path = EditorProcess::Path();
    const uint32_t packed =
        QUORVANE_VERSION_MAJOR << 24 | QUORVANE_VERSION_MINOR << 16 | QUORVANE_VERSION_PATCH << 8;
    EXPECT_EQ(packed, GetFileVersion(path)) << "the library's own reader";
    const std::pair<const char*, const char*> strings[] = {
        {"ProductName", "Quorvane"},
        {"ProductVersion", QUORVANE_VERSION_TEXT},
        {"FileDescription", "Quorvane テキストエディタ"},
        {"OriginalFilename", "Quorvane.exe"},
    };
    for (const auto& entry : strings)
        EXPECT_EQ(entry.second, VersionString(path, entry.first)) << entry.first;
}

} // namespace
