// TStrings operations built on the abstract line access.
#include "vcl/Classes/Strings.h"

#include "vcl/Classes/Streams.h"

namespace vcl {

namespace {

// Keeps a list in one update for a scope, also when an exception leaves it.
class TUpdateScope {
public:
    explicit TUpdateScope(TStrings& list) : FList(list) { FList.BeginUpdate(); }
    ~TUpdateScope() { FList.EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TStrings& FList;
};

bool SameTextAscii(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

} // namespace

void TStrings::Error(int index) {
    throw EStringListError(Format("List index out of bounds (%d)", {index}));
}

void TStrings::Put(int index, const std::string& s) {
    TObject* object = GetObject(index);
    TUpdateScope scope(*this);
    Delete(index);
    Insert(index, s);
    PutObject(index, object);
}

TObject* TStrings::GetObject(int /*index*/) const {
    return nullptr;
}

void TStrings::PutObject(int /*index*/, TObject* /*object*/) {}

int TStrings::Add(const std::string& s) {
    const int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::Exchange(int a, int b) {
    TUpdateScope scope(*this);
    const std::string sa = Get(a);
    TObject* oa = GetObject(a);
    Put(a, Get(b));
    PutObject(a, GetObject(b));
    Put(b, sa);
    PutObject(b, oa);
}

void TStrings::Move(int from, int to) {
    if (from == to) return;
    TUpdateScope scope(*this);
    const std::string s = Get(from);
    TObject* object = GetObject(from);
    if (to < 0 || to >= Count()) Error(to);
    Delete(from);
    Insert(to, s);
    PutObject(to, object);
}

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (SameTextAscii(Get(i), s)) return i;
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string line = Get(i);
        const size_t eq = line.find('=');
        if (eq != std::string::npos && SameTextAscii(line.substr(0, eq), name)) return i;
    }
    return -1;
}

std::string TStrings::GetName(int index) const {
    const std::string line = Get(index);
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStrings::GetValue(const std::string& name) const {
    const int i = IndexOfName(name);
    if (i < 0) return std::string();
    const std::string line = Get(i);
    return line.substr(line.find('=') + 1);
}

void TStrings::SetValue(const std::string& name, const std::string& value) {
    const int i = IndexOfName(name);
    if (!value.empty()) {
        if (i < 0)
            Add(name + "=" + value);
        else
            Put(i, name + "=" + value);
    } else if (i >= 0) {
        Delete(i);
    }
}

std::string TStrings::GetText() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        out += Get(i);
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(const std::string& text) {
    TUpdateScope scope(*this);
    Clear();
    size_t i = 0;
    while (i < text.size()) {
        const size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
        Add(text.substr(start, i - start));
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
    }
}

std::string TStrings::GetCommaText() const {
    if (Count() == 1 && Get(0).empty()) return "\"\"";
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        if (i) out += ',';
        const std::string s = Get(i);
        bool quote = false;
        for (unsigned char c : s)
            if (c <= ' ' || c == '"' || c == ',') quote = true;
        if (!quote) {
            out += s;
            continue;
        }
        out += '"';
        for (char c : s) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

void TStrings::SetCommaText(const std::string& text) {
    TUpdateScope scope(*this);
    Clear();
    size_t i = 0;
    const auto blank = [&](size_t at) { return at < text.size() && static_cast<unsigned char>(text[at]) <= ' '; };
    while (blank(i)) ++i;
    while (i < text.size()) {
        std::string s;
        if (text[i] == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        s += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                s += text[i++];
            }
        } else {
            while (i < text.size() && !blank(i) && text[i] != ',') s += text[i++];
        }
        Add(s);
        while (blank(i)) ++i;
        if (i < text.size() && text[i] == ',') {
            ++i;
            while (blank(i)) ++i;
        }
    }
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount <= 0) return;
    --FUpdateCount;
    if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this) return;
    TUpdateScope scope(*this);
    Clear();
    AddStrings(source);
}

void TStrings::AddStrings(const TStrings& source) {
    TUpdateScope scope(*this);
    const int n = source.Count();  // adding a list to itself copies it once
    for (int i = 0; i < n; ++i) AddObject(source.Get(i), source.GetObject(i));
}

bool TStrings::Equals(const TStrings& other) const {
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != other.Get(i)) return false;
    return true;
}

void TStrings::LoadFromStream(TStream& stream) {
    const int64_t size = stream.Size() - stream.Position();
    std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (!text.empty()) stream.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    SetText(text);
}

void TStrings::SaveToStream(TStream& stream) const {
    const std::string text = GetText();
    if (!text.empty()) stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

} // namespace vcl
