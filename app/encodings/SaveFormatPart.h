// SaveFormatPart: the Save As dialog's own part, two lists under the
// system's controls: 文字コード (the encoding the file is written in) and 改行
// (its line ends), opening on the document's own. A local of one Save As,
// which reads the choice once the dialog has closed.
#pragma once

#include "app/documents/DocumentFormat.h"
#include "framework/Win32.h"

class FileDialog;

class SaveFormatPart {
public:
    // typedEnds: what the document's line ends are taken for when it has
    // none yet (what Enter types).
    SaveFormatPart(const DocumentFormat& current, DocumentFormat::LineEnds typedEnds);

    void AttachTo(FileDialog& dialog);
    const DocumentFormat& Chosen() const { return chosen; }
    // Whether the choice differs from the document's own form.
    bool ChangesForm() const;

private:
    static UINT_PTR CALLBACK Hook(HWND part, UINT message, WPARAM wParam, LPARAM lParam);
    void Fill(HWND part);
    void Read(HWND part);

    DocumentFormat own;
    DocumentFormat chosen;
};
