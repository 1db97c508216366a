#include "BenchTree.h"

#include <memory>
#include <vector>

#include "framework/Win32.h"
#include "util/FindHandle.h"

namespace {

// Sentences and words the text is made of. Several Japanese ones hold a 0x5C
// trail byte (ソ, 表, 予), the case that breaks byte-wise line handling.
const char* const JapanesePhrases[] = {
    "日本語の文章です。", "ファイルを開きました", "設定を保存しました。", "表示の切り替え",
    "ソフトウェアの予定", "今日は晴れ、明日は雨でしょう。", "フォルダの一覧", "変更されていません",
    "データベースへ接続中", "処理が完了しました。", "能力と機能", "十分な空き容量があります",
};
const char* const AsciiWords[] = {
    "int", "return", "value", "buffer", "the", "folder", "size_t", "static", "const",
    "while", "result", "= 0;", "if (x)", "{", "}", "path", "count", "text", "line",
};

template <size_t N>
constexpr uint32_t CountOf(const char* const (&)[N])
{
    return static_cast<uint32_t>(N);
}

struct HandleCloser {
    void operator()(HANDLE h) const { ::CloseHandle(h); }
};

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    std::unique_ptr<void, HandleCloser> owner(h);
    DWORD written = 0;
    return ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void RemoveTree(const std::string& folder)
{
    {
        FindHandle find(folder + "\\*.*");
        for (bool more = find.IsOpen(); more; more = find.Next()) {
            const WIN32_FIND_DATAA& entry = find.Entry();
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                ::DeleteFileA(full.c_str());
        }
    }
    ::RemoveDirectoryA(folder.c_str());
}

} // namespace

BenchTree::BenchTree(TreeShape treeShape) : shape(treeShape)
{
}

BenchTree::~BenchTree()
{
    if (!root.empty())
        RemoveTree(root);
}

const char* BenchTree::RareText()
{
    return "QRV-RARE-7731";
}

const char* BenchTree::CommonText()
{
    return "検索";
}

bool BenchTree::Make()
{
    char temp[MAX_PATH + 1] = {};
    DWORD length = ::GetTempPathA(sizeof(temp), temp);
    if (length == 0 || length > MAX_PATH)
        return false;
    std::string candidate = std::string(temp) + "quorvane-bench-" + std::to_string(::GetCurrentProcessId());
    if (!::CreateDirectoryA(candidate.c_str(), nullptr))
        return false;
    root = candidate;
    return MakeFolders() && MakeFiles();
}

// Each folder hangs under one of the four before it in creation order
// divided by four, which gives a tree about log4(folders) levels deep.
bool BenchTree::MakeFolders()
{
    folders.assign(1, root);
    for (int i = 1; i < shape.folders; ++i) {
        const std::string& parent = folders[static_cast<size_t>((i - 1) / 4)];
        std::string name = (i % 3 == 0 ? "フォルダ" : "d") + std::to_string(i);
        std::string path = parent + "\\" + name;
        if (!::CreateDirectoryA(path.c_str(), nullptr))
            return false;
        folders.push_back(path);
    }
    return true;
}

// Sizes: most files a few kilobytes, some tens, a few up to a megabyte, then
// scaled so that they add up to the requested total.
bool BenchTree::MakeFiles()
{
    std::vector<uint32_t> sizes(static_cast<size_t>(shape.files));
    uint64_t drawn = 0;
    for (uint32_t& size : sizes) {
        uint32_t kind = Random(100);
        size = kind < 85 ? 1024 + Random(11 * 1024) : kind < 99 ? 12 * 1024 + Random(88 * 1024) : 100 * 1024 + Random(900 * 1024);
        drawn += size;
    }
    const double scale = static_cast<double>(shape.megabytes) * 1024 * 1024 / static_cast<double>(drawn);
    for (size_t i = 0; i < sizes.size(); ++i) {
        const std::string& folder = folders[i % folders.size()];
        std::string name = (i % 5 == 0 ? "メモ" : "f") + std::to_string(i) + ".txt";
        std::string text = MakeText(static_cast<uint32_t>(sizes[i] * scale), i % 2 == 0);
        if (i % 500 == 7)
            text += std::string("rare line ") + RareText() + "\n";
        // Something for the regular expressions to find, outside the random
        // text, so the exact texts' lines stay what they were.
        if (i % 50 == 11)
            text += "連絡先 045-123-4567、関数 (path) と function(x) を呼ぶ\n";
        if (!WriteWholeFile(folder + "\\" + name, text))
            return false;
        bytes += text.size();
        if (text.size() > largest)
            largest = text.size();
    }
    return true;
}

std::string BenchTree::MakeText(uint32_t size, bool crlf)
{
    std::string text;
    text.reserve(size + 4096);
    while (text.size() < size)
        AppendLine(text, crlf);
    return text;
}

// Japanese and ASCII lines of a few dozen bytes, about one in thirty of them
// with the common text, some short or empty lines and now and then a line of
// one to three kilobytes.
void BenchTree::AppendLine(std::string& text, bool crlf)
{
    uint32_t kind = Random(100);
    if (kind < 42) {
        AppendPhrases(text, 1 + static_cast<int>(Random(4)));
        if (Random(30) == 0)
            text += CommonText();
    } else if (kind < 84) {
        int words = 3 + static_cast<int>(Random(10));
        for (int w = 0; w < words; ++w) {
            text += AsciiWords[Random(CountOf(AsciiWords))];
            text += ' ';
        }
        if (Random(40) == 0)
            text += CommonText();
    } else if (kind < 98) {
        text.append(Random(8), 'x');
    } else {
        AppendPhrases(text, 40 + static_cast<int>(Random(100)));
    }
    text += crlf ? "\r\n" : "\n";
}

void BenchTree::AppendPhrases(std::string& text, int count)
{
    for (int p = 0; p < count; ++p)
        text += JapanesePhrases[Random(CountOf(JapanesePhrases))];
}

// xorshift64*: fast, and the same tree for every run.
uint32_t BenchTree::Random(uint32_t below)
{
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return static_cast<uint32_t>((state * 0x2545F4914F6CDD1Dull) >> 32) % below;
}
