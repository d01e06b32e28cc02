#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

// Null, integer or string. Header maps store column numbers, the dictionary stores texts.
using TVariant = std::variant<std::monostate, std::int64_t, std::string>;

// Base of the objects that an entry may own; the entry releases its object when it is deleted.
class TAssocObject {
public:
    virtual ~TAssocObject() = default;
};

struct TAssocArrayItem {
    bool Used = false;
    std::string Key;
    TVariant Value;
    std::unique_ptr<TAssocObject> Obj;
};

class EAssocArrayException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A string-keyed table of values in numbered slots. An entry keeps its slot for its whole life, so
// it can be reached by key or by index; deleting an entry leaves a free slot that appends never
// reuse. Tables are small (the largest, the translator's dictionary, holds a few hundred entries,
// looked up when a window changes its texts), so searches are linear.
class TAssocArray {
public:
    TAssocArray() = default;
    TAssocArray(TAssocArray&&) = default;
    TAssocArray& operator=(TAssocArray&&) = default;
    ~TAssocArray();

    bool CaseSensitive = true;

    const std::vector<TAssocArrayItem>& Items() const { return FItems; }

    // A negative index means the slot after the last one. Grows Items with free slots up to the
    // index and returns it; existing slots are never touched.
    int ReserveIndex(int Index);
    int AddObject(TVariant Value, std::unique_ptr<TAssocObject> Obj, const std::string& Key,
                  int Index);
    int Add(TVariant Value, const std::string& Key, int Index = -1);

    // Searches from the last slot down; -1 when no slot has the key.
    int IndexOfKey(const std::string& Key) const;
    TVariant GetValue(const std::string& Key) const;
    // Like GetValue, but an absent key gives Null instead of raising.
    TVariant FindValue(const std::string& Key) const;
    TVariant ValueAt(int Index) const;
    // Frees a used slot and releases its object; anything else is left alone.
    void DeleteAt(int Index);

private:
    bool KeysMatch(const std::string& A, const std::string& B) const;
    bool IsUsed(int Index) const;

    std::vector<TAssocArrayItem> FItems;
};
