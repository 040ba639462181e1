#pragma once

#include <mutex>
#include <vector>

#include "vcl/Classes/Object.h"

namespace vcl {

// An ordered list of untyped references. Owns nothing. Indexing outside
// 0..Count-1 raises EListError "List index out of bounds (%d)".
class TList : public TObject {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    void* Get(int index) const;
    void Put(int index, void* item);
    void* operator[](int index) const { return Get(index); }
    void* First() const { return Get(0); }
    void* Last() const { return Get(Count() - 1); }

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    // Removes the first occurrence; returns its former index or -1.
    int Remove(void* item);
    int IndexOf(const void* item) const;
    void* Extract(void* item);
    void Exchange(int a, int b);
    void Move(int from, int to);
    void Clear() { FItems.clear(); }
    void Capacity(int capacity) { FItems.reserve(static_cast<size_t>(capacity)); }

    // Direct access for tight loops (sorting, counting).
    void** Data() { return FItems.data(); }
    std::vector<void*>& Items() { return FItems; }
    const std::vector<void*>& Items() const { return FItems; }

    [[noreturn]] static void Error(int index);

private:
    std::vector<void*> FItems;
};

// A list with its own lock. LockList may be called again by the thread that
// holds the lock (the registry relies on it); every LockList needs UnlockList.
class TThreadList : public TObject {
public:
    TList* LockList() {
        FLock.lock();
        return &FList;
    }
    void UnlockList() { FLock.unlock(); }
    void Add(void* item);
    void Remove(void* item);
    void Clear();

private:
    std::recursive_mutex FLock;
    TList FList;
};

// Holds a TThreadList locked for one scope.
class TThreadListLock {
public:
    explicit TThreadListLock(TThreadList& list) : FOwner(list), FList(list.LockList()) {}
    ~TThreadListLock() { FOwner.UnlockList(); }
    TThreadListLock(const TThreadListLock&) = delete;
    TThreadListLock& operator=(const TThreadListLock&) = delete;
    TList* operator->() const { return FList; }
    TList& operator*() const { return *FList; }

private:
    TThreadList& FOwner;
    TList* FList;
};

} // namespace vcl
