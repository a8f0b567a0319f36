// The undo and redo history of an editor's text box, kept as whole-text snapshots. It keeps the
// toolbar's "Undo", "Redo" and "Save" buttons and the editor's Dirty state in step with the history,
// and turns Ctrl+V, Ctrl+Z and Ctrl+Y of the box into buffer commands.
#pragma once

#include "catalogue/AddinContext.h"
#include "editor/CUndoElement.h"
#include "platform/RichTextControl.h"

#include <QObject>
#include <QPointer>

#include <vector>

class EditorBufferHost;

class CRichTextBox : public QObject {
    Q_OBJECT

public:
    // The context is not owned and must outlive the buffer.
    explicit CRichTextBox(const AddinContext& context, QObject* parent = nullptr);
    ~CRichTextBox() override;

    // Caret position that Init restores.
    void setSelControlStart(int position) { mSelectionStart = position; }
    bool Dirty() const { return mDirty; }
    void setDirty(bool dirty) { mDirty = dirty; }
    // True while the buffer records and its owner allows it (not while loading or recolouring).
    bool TrapUndo() const;
    QString Text() const;
    void setText(const QString& text);

    // Binds to the owner's text box and takes the base snapshot.
    void Init(EditorBufferHost* owner);
    void Undo();
    void Redo();
    // Empties both lists and takes a base snapshot.
    void ResetUndo();
    // Empties the redo list and appends a snapshot of the current state.
    void ReinitUndo();

    // Oldest first; the last entry is the current state.
    const std::vector<CUndoElement>& UndoList() const { return mUndoList; }
    // The last entry is the next one to redo.
    const std::vector<CUndoElement>& RedoList() const { return mRedoList; }

    // The character position of the first difference of two texts (the shorter length when one is the
    // start of the other, 0 when either is empty).
    static int FirstDifference(const QString& current, const QString& target);

private:
    // Stops listening to the owner's text box.
    void detach();
    void RichTextBox_Change();
    void RichTextBox_SelChange();
    void RichTextBox_KeyDown(int* keyCode, int shift);
    void UpdateButtons();
    void TakeSnapshot();
    // Restores the target snapshot, then moves the last entry of `from` to `to`.
    void Step(const QString& procedure, const CUndoElement& target, std::vector<CUndoElement>& from,
              std::vector<CUndoElement>& to);
    void setMousePointer(host::MousePointer pointer);

    const AddinContext& mContext;
    QPointer<platform::RichTextControl> mControl;
    EditorBufferHost* mOwner = nullptr;
    std::vector<CUndoElement> mUndoList;
    std::vector<CUndoElement> mRedoList;
    bool mDirty = false;
    bool mInitializing = false;
    int mSelectionStart = 0;
    bool mRecording = false;
};
