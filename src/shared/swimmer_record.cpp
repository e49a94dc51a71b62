#include "shared/swimmer_record.h"

#include "shared/record_layouts.h"

namespace couloir {
namespace {

// The licence.txt field of each value, in SwimmerValues' order.
constexpr std::array<LicenceField, SwimmerValues::kCount> kFieldOf = {
    kLicClub,     kLicLicence,  kLicNom,       kLicPrenom,   kLicSexe,         kLicNaissance,
    kLicNationalite, kLicSportive, kLicSynchro, kLicWaterPolo, kLicPlongeon,  kLicDirigeant,
    kLicMaitre,   kLicDepot,    kLicObliteration, kLicTypeLicence, kLicNature, kLicCodeUnique};

bool isDate(int value) {
    return value == SwimmerValues::kNaissance || value == SwimmerValues::kDepot ||
           value == SwimmerValues::kObliteration;
}

}  // namespace

void setSwimmerFields(FixedRecord& record, const SwimmerValues& swimmer, std::string (*fileDate)(std::string_view)) {
    for (int value = 0; value < SwimmerValues::kCount; ++value) {
        const std::string& text = swimmer.values[static_cast<std::size_t>(value)];
        record.left(kFieldOf[static_cast<std::size_t>(value)], isDate(value) ? fileDate(text) : text);
    }
}

}  // namespace couloir
