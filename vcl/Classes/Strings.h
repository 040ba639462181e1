// String lists: the abstract TStrings and the TStringList that holds its lines
// (and an optional object pointer per line, not owned).
#pragma once

#include <string>
#include <vector>

#include "vcl/Classes/Object.h"
#include "vcl/SysUtils.h"

namespace vcl {

class TStream;

// Index errors of string lists: "List index out of bounds (%d)".
class EStringListError : public EListError {
public:
    using EListError::EListError;
};

// An ordered list of lines. Descendants store them; the base gives the
// operations built on Get/Put/Insert/Delete/Clear.
class TStrings : public TObject {
public:
    virtual int Count() const = 0;
    // The line at index; outside 0..Count-1 EStringListError.
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* object);
    std::string Strings(int index) const { return Get(index); }
    std::string operator[](int index) const { return Get(index); }

    // Returns the index of the new line.
    virtual int Add(const std::string& s);
    int AddObject(const std::string& s, TObject* object);
    void Append(const std::string& s) { Add(s); }
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int a, int b);
    void Move(int from, int to);
    // First line equal without regard to ASCII case, as the framework's
    // unsorted lists compare; -1 when none.
    virtual int IndexOf(const std::string& s) const;
    int IndexOfObject(const TObject* object) const;
    // "name=value" lines: the name part compared without regard to ASCII case.
    int IndexOfName(const std::string& name) const;
    std::string GetName(int index) const;
    std::string GetValue(const std::string& name) const;
    // An empty value deletes the line; a new name is added.
    void SetValue(const std::string& name, const std::string& value);

    // Every line followed by CR LF. Setting splits at CR LF, CR or LF (one
    // trailing break adds no empty line) within one update.
    virtual std::string GetText() const;
    virtual void SetText(const std::string& text);
    // Lines joined by commas; lines with blanks, commas or quotes are
    // double-quoted with inner quotes doubled.
    std::string GetCommaText() const;
    void SetCommaText(const std::string& text);

    // Nested; the outermost pair calls SetUpdateState(true/false).
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Clear, then the source's lines and objects, in one update.
    virtual void Assign(const TStrings& source);
    void AddStrings(const TStrings& source);
    // Same count and the same lines (case-sensitive).
    bool Equals(const TStrings& other) const;

    void LoadFromStream(TStream& stream);  // from the current position to the end
    void SaveToStream(TStream& stream) const;

protected:
    virtual void SetUpdateState(bool /*updating*/) {}
    [[noreturn]] static void Error(int index);

private:
    int FUpdateCount = 0;
};

// Lines in a vector. Change notification: OnChanging before and OnChange
// after every change made outside an update; inside an update neither fires,
// and the outermost EndUpdate fires OnChange once (also when nothing changed),
// as the outermost BeginUpdate fires OnChanging.
class TStringList : public TStrings {
public:
    TStringList() = default;
    ~TStringList() override = default;

    int Count() const override { return static_cast<int>(FItems.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int a, int b) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    virtual void Changed();
    virtual void Changing();

private:
    struct TItem {
        std::string String;
        TObject* Object = nullptr;
    };
    void CheckIndex(int index) const;
    std::vector<TItem> FItems;
};

} // namespace vcl
