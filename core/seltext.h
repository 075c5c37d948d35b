#pragma once
// Sinks for selected text: SelTextCount measures, SelTextBuf copies into a caller's buffer.

class SelTextCount {
public:
    virtual ~SelTextCount() = default;

    // Takes a run of characters; object markers (codes 2 and 4) are not counted.
    virtual void Put(const char16_t* chars, int n);
    // The run followed by CR LF.
    void PutLine(const char16_t* chars, int n);
    // The length (SelTextBuf: including the terminating 0).
    virtual int Finish();

protected:
    char16_t* Buffer = nullptr;
    int BufferSize = 0;
    int Leng = 0;
};

class SelTextBuf : public SelTextCount {
public:
    // The buffer (size characters) is zero-filled, so whatever is copied is terminated.
    SelTextBuf(char16_t* buffer, int size);
    // Copies characters other than codes 2, 4 and 8 while they fit in size - 1; the rest is dropped.
    void Put(const char16_t* chars, int n) override;
    // Writes the terminating 0; answers the copied length + 1.
    int Finish() override;
};
