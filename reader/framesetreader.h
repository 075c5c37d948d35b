#pragma once
// Frameset documents: a test that tells whether a document is a frameset document, and a reader that
// walks one and calls the frame viewer back for every FRAMESET and FRAME so that it can build its tree of
// frame sets and frames. Nothing is laid out here. Each test or read has its own scanner, so it can run
// while the viewers are idle between their own parses.

#include <functional>
#include <memory>
#include <string>

#include "platform/control.h"
#include "reader/scanner.h"

// A frame set of the frame viewer's tree; the reader only hands it back to the callbacks.
class TSubFrameSet;
class TAttributeList;

// The window control the frame viewer derives from: the four callbacks the frameset reader builds the
// frame tree through. The attributes are those of the tag just read; the callee copies what it keeps.
class TFrameViewerBase : public platform::Control {
public:
    explicit TFrameViewerBase(platform::Control* parent) : platform::Control(parent) {}

    // A frame as the set's next child; the name is the frameset document's file name.
    virtual void AddFrame(TSubFrameSet* set, TAttributeList& attributes, const std::string& fileName) = 0;
    // A nested set as the parent's next child; nullptr when no more sets can be made.
    virtual TSubFrameSet* AddSubFrameSet(TSubFrameSet* parent) = 0;
    virtual void ApplyFrameSetAttributes(TSubFrameSet* set, TAttributeList& attributes) = 0;
    virtual void EndFrameSet(TSubFrameSet* set) = 0;
};

// What a frameset read passes on while it reads (every handler optional).
struct TFrameSetHost {
    TIncludeHandler Include;
    std::function<void(const std::string& src, int loop, bool terminate)> OnSoundRequest;
    std::function<void(const std::string& name, const std::string& language, const std::string& script)> OnScript;
    std::function<void(const std::string& httpEq, const std::string& name, const std::string& content)> OnMeta;
};

class TFrameSetReader {
public:
    // FRAMESET elements nested deeper than this inside one document are ignored (their FRAMEs go into
    // the set around them), so no document can nest sets without bound.
    static constexpr int MaxFrameSetNesting = 32;

    // Source kinds: a file name, or text in memory.
    enum { FromFile = 0, FromText = 1 };

    // True when the document is a frameset document: a FRAMESET comes before any body-level tag. A file
    // that cannot be read raises the platform's file error; any other failure answers false.
    bool IsFrameSet(int sourceKind, const std::string& fileName, const std::string& text);
    // Reads a frameset document into set through the viewer's callbacks. A failure while reading ends
    // the read and keeps what was made; a file that cannot be read raises the platform's file error.
    void Read(TFrameViewerBase& viewer, TSubFrameSet* set, int sourceKind, const TFrameSetHost& host,
              const std::string& text, const std::string& fileName);

    // What the TITLE and BASE elements of the last test or read said.
    std::string Title;
    std::string Base;
    std::string BaseTarget;

private:
    std::string Load(int sourceKind, const std::string& fileName, const std::string& text);
    void Start(std::string document);
    void ReadSet(TSubFrameSet* set, int depth);
    void DoTitle();
    void DoBase();
    void DoMeta();
    void DoBgSound();
    void DoScript(bool callHandler);
    void SkipNoFrames();

    std::unique_ptr<THtmlScanner> Sc;
    TFrameViewerBase* Viewer = nullptr;
    TFrameSetHost Host;
    std::string FileName;
};
