#include "forms/property_store.h"

#include <climits>
#include <cwctype>

namespace forms {

std::wstring PropertyStore::Key(const std::wstring& name) {
    std::wstring key = name;
    for (wchar_t& c : key)
        c = static_cast<wchar_t>(std::towlower(c));
    return key;
}

bool PropertyStore::AsNumber(const PropertyValue& value, int32_t& number) {
    if (const auto* n = std::get_if<int32_t>(&value)) {
        number = *n;
        return true;
    }
    if (const auto* text = std::get_if<std::wstring>(&value)) {
        if (text->empty() || text->size() > 10)
            return false;
        size_t i = (*text)[0] == L'-' ? 1 : 0;
        if (i == text->size())
            return false;
        int64_t result = 0;
        for (; i < text->size(); ++i) {
            if ((*text)[i] < L'0' || (*text)[i] > L'9')
                return false;
            result = result * 10 + ((*text)[i] - L'0');
        }
        if ((*text)[0] == L'-')
            result = -result;
        if (result < INT32_MIN || result > INT32_MAX)
            return false;
        number = static_cast<int32_t>(result);
        return true;
    }
    return false;
}

bool PropertyStore::SameValue(const PropertyValue& a, const PropertyValue& b) {
    int32_t x = 0, y = 0;
    // A number and a numeric text compare by value: "1" equals 1.
    if ((std::holds_alternative<int32_t>(a) || std::holds_alternative<int32_t>(b)) &&
        AsNumber(a, x) && AsNumber(b, y)) {
        return x == y;
    }
    return a == b;
}

PropertyValue PropertyStore::Read(const std::wstring& name, const PropertyValue& fallback) const {
    const auto it = values_.find(Key(name));
    return it == values_.end() ? fallback : it->second;
}

void PropertyStore::Write(const std::wstring& name, const PropertyValue& value,
                          const PropertyValue& fallback) {
    if (SameValue(value, fallback)) {
        values_.erase(Key(name));
    } else {
        values_[Key(name)] = value;
    }
}

bool PropertyStore::Contains(const std::wstring& name) const {
    return values_.count(Key(name)) > 0;
}

}  // namespace forms
