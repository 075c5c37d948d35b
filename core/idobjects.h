#pragma once
// Named places of a document: objects an ID or anchor NAME refers to, and the list that maps names to
// them for links to a named place.

#include <memory>
#include <string>
#include <vector>

// Anything an ID or NAME can refer to; layout objects derive from it.
class TIDObject {
public:
    virtual ~TIDObject() = default;
    // The object's vertical position in the laid-out document, in pixels.
    virtual int VerticalPos() = 0;
};

// What named character positions need of the document: the line that holds a character position.
// The section list implements it.
class TLineLocator {
public:
    virtual ~TLineLocator() = default;
    // True, with the line's vertical document position, when a line holds the character position.
    virtual bool FindLineOfCharPos(int charPos, int& y) = 0;
};

// A named place that is only a character position.
class TChPosObj : public TIDObject {
public:
    TChPosObj(TLineLocator* list, int chPos) : ChPos(chPos), List(list) {}
    int VerticalPos() override;

    int ChPos;
    TLineLocator* List;  // not owned
};

// Anchor names and IDs mapped to objects, sorted, names compared ignoring letter case. Owns the
// TChPosObj entries; other objects belong to the layout.
class TIDNameList {
public:
    explicit TIDNameList(TLineLocator* list) : FList(list) {}
    ~TIDNameList();
    TIDNameList(const TIDNameList&) = delete;
    TIDNameList& operator=(const TIDNameList&) = delete;

    // Replaces an entry of the same name (freeing its object when the list owns it); answers the index.
    int AddName(const std::string& name, TIDObject* obj);
    int AddCharPos(const std::string& name, int pos);
    void Reset();

    // The index of the name, -1 when absent.
    int IndexOf(const std::string& name) const;
    TIDObject* Find(const std::string& name) const
    {
        int i = IndexOf(name);
        return i < 0 ? nullptr : Objects(i);
    }
    // Removes every entry that refers to the object (the object is not freed).
    void RemoveObject(const TIDObject* obj);

    int Count() const { return int(FEntries.size()); }
    const std::string& Strings(int i) const { return FEntries[std::size_t(i)].Name; }
    TIDObject* Objects(int i) const { return FEntries[std::size_t(i)].Obj; }
    TLineLocator* Locator() const { return FList; }

private:
    struct Entry {
        std::string Name;
        TIDObject* Obj;
        std::unique_ptr<TChPosObj> Owned;  // set when Obj is a TChPosObj the list made
    };
    // The position at which the name is or would be inserted, and whether it is there.
    std::size_t Locate(const std::string& name, bool& found) const;

    TLineLocator* FList;
    std::vector<Entry> FEntries;
};
