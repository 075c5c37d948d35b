// A section's pictures and panels, ordered by their character position.

#include "layout/floatingobj.h"

#include <algorithm>

TImageObjList::TImageObjList(TSectionList* newRoot, const TImageObjList& source)
{
    for (const auto& obj : source)
        Add(obj->Copy(newRoot));
}

// Objects are kept in order of their positions (added at the end of the text, moved down together), so
// positions are found by binary search: a line with many pictures costs no quadratic walk.
TFloatingObj* TImageObjList::FindObject(int pos) const
{
    auto it = std::lower_bound(begin(), end(), pos,
                               [](const std::unique_ptr<TFloatingObj>& obj, int p) { return obj->Pos < p; });
    return it != end() && (*it)->Pos == pos ? it->get() : nullptr;
}

int TImageObjList::GetHeightAt(int pos, AlignmentType& align) const
{
    TFloatingObj* obj = FindObject(pos);
    if (!obj)
        return -1;
    align = obj->VertAlign;
    return obj->ObjHeight + obj->VSpaceT + obj->VSpaceB;
}

int TImageObjList::GetWidthAt(int pos, AlignmentType& align, int& hSpaceL, int& hSpaceR) const
{
    TFloatingObj* obj = FindObject(pos);
    if (!obj)
        return -1;
    align = obj->VertAlign;
    hSpaceL = obj->HSpaceL;
    hSpaceR = obj->HSpaceR;
    return obj->ObjWidth;
}

int TImageObjList::GetObjectCountAt(int pos) const
{
    auto it = std::lower_bound(begin(), end(), pos,
                               [](const std::unique_ptr<TFloatingObj>& obj, int p) { return obj->Pos < p; });
    return it != end() ? (*it)->Pos - pos : 99999999;
}

void TImageObjList::Decrement(int pos)
{
    for (const auto& obj : *this)
        if (obj->Pos > pos)
            --obj->Pos;
}

TFloatingObj* TImageObjList::PointInImage(int X, int Y, int& IX, int& IY, int& pos) const
{
    for (const auto& obj : *this) {
        if (obj->IsPanel())
            continue;
        const int x = X - obj->DrawXX, y = Y - obj->DrawYY;
        if (x >= 0 && y >= 0 && x < obj->ObjWidth - 2 * obj->BorderSize && y < obj->ObjHeight - 2 * obj->BorderSize) {
            IX = x;
            IY = y;
            pos = obj->Pos;
            return obj.get();
        }
    }
    return nullptr;
}
