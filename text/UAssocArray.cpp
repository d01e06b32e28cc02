#include "text/UAssocArray.h"

#include <algorithm>
#include <utility>

namespace {

char AsciiLower(char C) {
    return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C;
}

bool EqualIgnoringAsciiCase(const std::string& A, const std::string& B) {
    return std::equal(A.begin(), A.end(), B.begin(), B.end(),
                      [](char X, char Y) { return AsciiLower(X) == AsciiLower(Y); });
}

} // namespace

TAssocArray::~TAssocArray() {
    for (std::size_t I = 0; I < FItems.size(); ++I) {
        DeleteAt(static_cast<int>(I));
    }
    FItems.clear();
}

int TAssocArray::ReserveIndex(int Index) {
    const auto Length = static_cast<int>(FItems.size());
    if (Index < 0) {
        Index = Length;
    }
    if (Index >= Length) {
        FItems.resize(static_cast<std::size_t>(Index) + 1);
    }
    return Index;
}

int TAssocArray::AddObject(TVariant Value, std::unique_ptr<TAssocObject> Obj,
                           const std::string& Key, int Index) {
    if (!Key.empty() && IndexOfKey(Key) >= 0) {
        throw EAssocArrayException("Cannot add. Key [" + Key + "] just exists.");
    }
    const int Slot = ReserveIndex(Index);
    TAssocArrayItem& Item = FItems[static_cast<std::size_t>(Slot)];
    if (Item.Used) {
        throw EAssocArrayException("Cannot add. Index [" + std::to_string(Slot) + "] is used.");
    }
    Item.Used = true;
    Item.Key = Key;
    Item.Value = std::move(Value);
    Item.Obj = std::move(Obj);
    return Slot;
}

int TAssocArray::Add(TVariant Value, const std::string& Key, int Index) {
    return AddObject(std::move(Value), nullptr, Key, Index);
}

int TAssocArray::IndexOfKey(const std::string& Key) const {
    for (auto I = static_cast<int>(FItems.size()) - 1; I >= 0; --I) {
        const TAssocArrayItem& Item = FItems[static_cast<std::size_t>(I)];
        if (!KeysMatch(Item.Key, Key)) {
            continue;
        }
        if (!Item.Used) {
            throw EAssocArrayException("Internal error. Found Key [" + Key +
                                       "] which is not used.");
        }
        return I;
    }
    return -1;
}

TVariant TAssocArray::GetValue(const std::string& Key) const {
    const int Index = IndexOfKey(Key);
    if (Index < 0) {
        throw EAssocArrayException("Key [" + Key + "] not found.");
    }
    return FItems[static_cast<std::size_t>(Index)].Value;
}

TVariant TAssocArray::FindValue(const std::string& Key) const {
    const int Index = IndexOfKey(Key);
    return Index < 0 ? TVariant{} : FItems[static_cast<std::size_t>(Index)].Value;
}

TVariant TAssocArray::ValueAt(int Index) const {
    if (!IsUsed(Index)) {
        throw EAssocArrayException("Index " + std::to_string(Index) + " not used.");
    }
    return FItems[static_cast<std::size_t>(Index)].Value;
}

void TAssocArray::DeleteAt(int Index) {
    if (!IsUsed(Index)) {
        return;
    }
    TAssocArrayItem& Item = FItems[static_cast<std::size_t>(Index)];
    Item.Used = false;
    Item.Key.clear();
    Item.Value = std::monostate{};
    Item.Obj.reset();
}

bool TAssocArray::KeysMatch(const std::string& A, const std::string& B) const {
    return CaseSensitive ? A == B : EqualIgnoringAsciiCase(A, B);
}

bool TAssocArray::IsUsed(int Index) const {
    return Index >= 0 && static_cast<std::size_t>(Index) < FItems.size() &&
           FItems[static_cast<std::size_t>(Index)].Used;
}
