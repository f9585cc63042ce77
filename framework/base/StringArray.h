// CStringArray: the platform's growable array of strings.
#pragma once

#include <vector>

#include "framework/base/String.h"

class CStringArray {
public:
    virtual ~CStringArray() = default;

    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_items.empty(); }
    // nGrowBy is accepted for compatibility; the vector grows as it likes.
    void SetSize(int newSize, int /*nGrowBy*/ = -1) { m_items.resize(newSize < 0 ? 0 : size_t(newSize)); }
    void RemoveAll() { m_items.clear(); }
    int Add(const CString& s)
    {
        m_items.push_back(s);
        return GetSize() - 1;
    }
    const CString& GetAt(int i) const { return m_items.at(size_t(i)); }
    void SetAt(int i, const CString& s) { m_items.at(size_t(i)) = s; }
    const CString& operator[](int i) const { return m_items.at(size_t(i)); }
    CString& operator[](int i) { return m_items.at(size_t(i)); }
    void InsertAt(int i, const CString& s) { m_items.insert(m_items.begin() + i, s); }
    void RemoveAt(int i) { m_items.erase(m_items.begin() + i); }

private:
    std::vector<CString> m_items;
};
