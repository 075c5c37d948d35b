#pragma once
// THtmlScanner: turns the bytes of one document into tags (with their attributes), text runs (UTF-16
// with the source index of every character) and the end of input, one symbol per Next. Comments,
// declarations and <% %> blocks vanish as the characters are read; server-side includes are expanded
// through the host's include handler; character references are decoded; line breaks are normalised.
//
// Positions: CharPos counts the bytes taken from the document (the first byte is 0; after a UTF-8
// byte-order mark the first character is 3). Text from an include handler does not advance it.
//
// One parse at a time: the document builder (or the frameset reader) owns the scanner for the parse,
// calls StartParse, then ReadChar once and Next until EofSy.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "core/attributes.h"
#include "core/charcollection.h"
#include "core/symbols.h"
#include "core/tokenobj.h"

class TIDNameList;

VEXA_DECLARE_EXCEPTION(EParseError, platform::Exception)

// The include handler: command name, its "name=value" parameters (the handler's to keep) and the text to
// read in place of the comment (empty: nothing).
using TIncludeHandler =
    std::function<void(const std::string& command, std::vector<std::string> params, std::string& text)>;
// Progress of a parse: stage (1 = reading) and a percentage.
using TProgressHandler = std::function<void(int stage, int percent)>;

// A place in the source to come back to (the object reader reads PARAM tags ahead inside PRE).
struct TScanPlace {
    unsigned char Ch = 0;
    unsigned char UCh = 0;
    std::size_t Offset = 0;
    int CharPos = -1;
    int LastBreak = 0;
    bool InInclude = false;
    std::size_t IncludeOffset = 0;
};

class THtmlScanner {
public:
    static constexpr int MaxIncludes = 1000;  // expansions per parse (included text may include again)
    static constexpr int MaxNameLength = 255;

    THtmlScanner();
    ~THtmlScanner();
    THtmlScanner(const THtmlScanner&) = delete;
    THtmlScanner& operator=(const THtmlScanner&) = delete;

    // ---- Host side (set by the builder; all optional) ----
    TIncludeHandler Include;
    TProgressHandler OnProgress;
    int ProgressShare = 0;               // the share of the whole load that reading takes (0..100)
    std::function<int()> TextCodePage;   // the code page of the current properties; DocCodePage without it
    TIDNameList* IDNames = nullptr;      // where ID attributes are recorded

    // ---- Parse control ----
    // Starts a parse of the document; docCodePage is the code page of the base properties. A UTF-8
    // byte-order mark switches to UTF-8 (Utf8Fixed); 7-bit JIS text is converted to Shift-JIS
    // (JapaneseConverted, DocCodePage 932).
    void StartParse(std::string document, int docCodePage);
    // Back to the start of the document (after the counting pass).
    void Rewind();
    // Frees the attributes (and inline properties) of the parse.
    void EndParse();
    // Converts the document from EUC-JP to Shift-JIS in place, once per parse; false when a conversion
    // was already done.
    bool ConvertEucJp();

    TScanPlace SavePlace() const;
    void RestorePlace(const TScanPlace& place);

    // ---- Characters ----
    void RawChar();    // next character with line breaks normalised (LF, CR LF, LF CR -> CR; tab -> blank)
    void ReadChar();   // RawChar, with comments, declarations, includes and <% %> removed
    unsigned char Peek();
    void SkipBlanks();
    // Decodes the character reference at the current '&' into bytes of the code page (0: the system
    // code page); an unrecognised form answers the characters read.
    std::string DecodeEntityNarrow(int codePage);

    // ---- Tokens ----
    void Next();
    // Preformatted text: the characters up to a control character, a line break or "<", blanks kept and
    // references decoded, into Token (the symbol is left alone).
    void ReadPreText(int codePage);

    // ---- State ----
    unsigned char Ch = 0;   // current character
    unsigned char UCh = 0;  // its upper case (a..z only)
    Symbol Sy = EofSy;
    int HeadingLevel = 0;   // 1..6 after H and /H, else 0
    int TagStartPos = 0;    // CharPos of the '<' of the tag just read
    int CharPos = -1;
    int DocCodePage = 1251;
    bool RawMode = false;   // markup is not recognised (plain text, SCRIPT content)
    bool Counting = false;  // counting pass: no text, no names, no progress
    bool InComment = false;
    bool Utf8Fixed = false;
    bool JapaneseConverted = false;
    // The encoding named by an XML declaration at the very start of the document (after a byte-order
    // mark), as written; empty without one.
    std::string XmlEncoding;
    // Text other than blanks has been read since the start (or the rewind) of the parse.
    bool TextSeen = false;

    TokenObj Token;
    TAttributeList* Attributes() const { return FAttributes.get(); }
    std::size_t DocumentSize() const { return FDoc.size(); }
    // The document is valid UTF-8 holding at least one multi-byte character (one linear pass; see
    // IsMultibyteUtf8).
    bool DocumentLooksUtf8() const;
    std::size_t Offset() const { return FPos; }

private:
    enum { BreakNone = 0, BreakCR = 1, BreakLF = 2 };

    unsigned char ReadByte();
    void SetChar(unsigned char c);
    void ReportProgress();
    void SkipCommentRest();
    void RunInclude();
    void ReadTag();
    bool ReadAttribute();
    void ReadText();
    void ReadTextRun(int codePage);
    void DecodeEntityIntoToken(int codePage);
    void EmitCode(int code, int pos, bool numeric, int codePage);
    void FlushBytes(int codePage);

    std::string FDoc;
    std::size_t FPos = 0;
    std::string FInc;
    std::size_t FIncPos = 0;
    bool FInInclude = false;
    int FLastBreak = BreakNone;
    int FStartCharPos = -1;
    int FIncludes = 0;
    std::unique_ptr<TAttributeList> FAttributes;
    TCharCollection FBytes;
    std::string FName;          // scratch for names
    std::string FPendingError;  // raised by the next Next (the text before it was delivered)
};

// The leading decimal number of a text (sign, digits, fraction, exponent), rounded half to even and
// kept within +-1,000,000; 0 when the text does not start with one.
int LeadingNumber(std::string_view text);

// Whether text is valid UTF-8 with at least one complete multi-byte character. Overlong forms, surrogates
// and values above U+10FFFF are invalid. A sequence cut short by the end of the text is forgiven (a file
// cut off while it was written) but does not count as a multi-byte character.
bool IsMultibyteUtf8(std::string_view text);
// The encoding of an XML declaration ("<?xml ... encoding='...' ?>") that starts text; empty without one.
std::string XmlDeclarationEncoding(std::string_view text);

// 7-bit JIS (ISO-2022-JP) to Shift-JIS; escapes are dropped.
std::string JisToShiftJis(std::string_view text);
// EUC-JP to Shift-JIS, in place and keeping the length.
void EucJpToShiftJis(std::string& text);
