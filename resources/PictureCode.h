#pragma once
// The picture code: the attributes a picture of the exercises has, each
// coded by one bit of the picture's index (index i is the file i + 1 of its
// set), and what names each attribute and its change. Pictures i and
// i XOR bit differ in that attribute alone, so every right answer is the
// model's index XOR the bits of the attributes that change. The picture
// generator, the build, the rules and the words all read this table.

#include <array>
#include <cstddef>

namespace resources::picture_code {

enum class Attribute { Colour, Size, Shape, Pattern };

// What names a change (of an attribute, or of nothing): its number as a
// drawn change (TipoCambiamento, PrimoCambiamento, SecondoCambiamento), its
// part of the key of a spoken instruction, the key of its word among the
// accessible texts, and the string numbers of its code when it is the drawn
// change, the first of two and the second of two (none where it cannot be).
struct ChangeNames {
    int number;
    const char* instruction;
    const char* word;
    const char* asKind;
    const char* asFirst;
    const char* asSecond;
};

struct AttributeCode {
    Attribute attribute;
    int bit;
    ChangeNames change;
    // The keys among the accessible texts of the words of value 0 and value
    // 1, after "Set<n>." where every set has words of its own, and the number
    // of the word in the pattern of a picture's description ("%1 %2 %3", %4
    // where the pattern is described).
    bool wordsOfTheSet;
    std::array<const char*, 2> valueWords;
    int placeInDescription;
    // The instruction's part for a change from value 0 and from value 1,
    // where the change's own part would fit two pictures ("with stripes or
    // without" fits the model's copy too); none where it fits one alone
    // ("another colour", "bigger or smaller").
    std::array<const char*, 2> instructionFrom{};
};

// The build reads this line for the number of pictures of a set.
inline constexpr int kAttributeCount = 4;

// In the order of the enumeration and of the bits.
// clang-format off
inline constexpr std::array<AttributeCode, kAttributeCount> kAttributes{{
    {Attribute::Colour, 1, {1, "Colour", "WordColour", "0005", "0014", "0017"}, true, {"Colour0", "Colour1"}, 2},
    {Attribute::Size, 2, {2, "Size", "WordSize", "0006", "0015", "0018"}, false, {"Big", "Small"}, 1},
    {Attribute::Shape, 4, {3, "Shape", "WordShape", "0007", "0016", "0019"}, true, {"Figure0", "Figure1"}, 3},
    // Plain or striped; 4 being no change, the pattern's change is 5.
    {Attribute::Pattern, 8, {5, "Pattern", "WordPattern", "0021", "0022", "0023"}, false, {"Plain", "Striped"}, 4,
     {"Stripes", "NoStripes"}},
}};
// clang-format on

// The change of nothing, a drawn change of its own.
inline constexpr ChangeNames kNoChange{4, "Same", "WordNothing", "0008", nullptr, nullptr};

constexpr const AttributeCode& codeOf(Attribute attribute) {
    return kAttributes[std::size_t(attribute)];
}

constexpr int bitOf(Attribute attribute) {
    return codeOf(attribute).bit;
}

// The value, 0 or 1, of an attribute in the picture of `index`.
constexpr int valueOf(int index, Attribute attribute) {
    return (index & bitOf(attribute)) != 0 ? 1 : 0;
}

// The attribute that the drawn change `number` changes; none for the change
// of nothing and for a number that names no change.
constexpr const AttributeCode* attributeChangedBy(int number) {
    for (const AttributeCode& code : kAttributes) {
        if (code.change.number == number)
            return &code;
    }
    return nullptr;
}

// The names of the drawn change `number`; none for a number that names no change.
constexpr const ChangeNames* changeNamed(int number) {
    if (number == kNoChange.number)
        return &kNoChange;
    const AttributeCode* code = attributeChangedBy(number);
    return code ? &code->change : nullptr;
}

// The pictures that the first `attributes` attributes code: indices 0 to
// picturesOf(attributes) - 1, each of those attributes' bits free.
constexpr int picturesOf(int attributes) {
    return 1 << attributes;
}

// The bits of the first `attributes` attributes: the change of all of them.
constexpr int bitsOf(int attributes) {
    return picturesOf(attributes) - 1;
}

// The rows stand in the order of their bits, from bit 0, so that the first n
// attributes code the pictures 0 to 2^n - 1; no two changes share a number.
static_assert([] {
    for (std::size_t i = 0; i < kAttributes.size(); ++i) {
        if (kAttributes[i].attribute != Attribute(i) || kAttributes[i].bit != 1 << i ||
            kAttributes[i].change.number == kNoChange.number)
            return false;
        for (std::size_t j = 0; j < i; ++j) {
            if (kAttributes[j].change.number == kAttributes[i].change.number)
                return false;
        }
    }
    return true;
}());

}  // namespace resources::picture_code
