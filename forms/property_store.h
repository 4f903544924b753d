// Named values through which a host saves and restores its controls' properties.
//
// Names match without regard to case. A value equal to its default is not stored, and a
// name that is not stored reads as its default; the text defaults "1" and "0" compare equal
// to the numbers 1 and 0.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>

namespace forms {

struct FontSpec {
    std::wstring faceName;
    double sizePoints = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    int charset = 0;
    bool operator==(const FontSpec& other) const {
        return faceName == other.faceName && sizePoints == other.sizePoints &&
               weight == other.weight && italic == other.italic && underline == other.underline &&
               strikethrough == other.strikethrough && charset == other.charset;
    }
};

using PropertyValue = std::variant<int32_t, std::wstring, FontSpec>;

class PropertyStore {
  public:
    // The stored value, or `fallback` when the name is not stored.
    PropertyValue Read(const std::wstring& name, const PropertyValue& fallback) const;
    // Stores `value`, or forgets the name when `value` equals `fallback`.
    void Write(const std::wstring& name, const PropertyValue& value, const PropertyValue& fallback);
    bool Contains(const std::wstring& name) const;
    size_t Size() const { return values_.size(); }

    // A value as a number: numbers as they are, texts that are whole numbers by their value.
    static bool AsNumber(const PropertyValue& value, int32_t& number);
    static bool SameValue(const PropertyValue& a, const PropertyValue& b);

  private:
    static std::wstring Key(const std::wstring& name);
    std::map<std::wstring, PropertyValue> values_;
};

}  // namespace forms
