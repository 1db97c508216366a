// BenchTree: the benchmark's generated folder tree under the temporary
// folder: nested folders, files of mixed sizes holding Japanese (code page
// 932) and ASCII text, with CR LF or LF line ends, short and long lines, a
// common text on a few per cent of the lines and a rare one in a few files.
// The object removes the tree when it goes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TreeShape {
    int folders = 2000;
    int files = 20000;
    int megabytes = 200;
};

class BenchTree {
public:
    explicit BenchTree(TreeShape shape);
    BenchTree(const BenchTree&) = delete;
    BenchTree& operator=(const BenchTree&) = delete;
    ~BenchTree();

    // Makes the tree; false when a folder or file could not be written.
    bool Make();

    const std::string& Root() const { return root; }
    uint64_t Bytes() const { return bytes; }
    uint64_t LargestFile() const { return largest; }

    static const char* RareText();
    static const char* CommonText();

private:
    bool MakeFolders();
    bool MakeFiles();
    std::string MakeText(uint32_t size, bool crlf);
    void AppendLine(std::string& text, bool crlf);
    void AppendPhrases(std::string& text, int count);
    uint32_t Random(uint32_t below);

    TreeShape shape;
    std::string root;
    std::vector<std::string> folders; // root first
    uint64_t bytes = 0;
    uint64_t largest = 0;
    uint64_t state = 0x9E3779B97F4A7C15ull;
};
