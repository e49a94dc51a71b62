// Which stored swimmers the finder takes for one person, and why.
#include <gtest/gtest.h>

#include <set>

#include "shared/duplicate_swimmers.h"

namespace couloir {
namespace {

StoredSwimmer swimmer(std::int64_t num, std::string surname, std::string firstName, std::string birth,
                      std::string sex = "F", std::string code = "") {
    return StoredSwimmer{num, "FRA0512345001", "0" + std::to_string(num), std::move(surname), std::move(firstName),
                         std::move(sex), std::move(birth), std::move(code)};
}

// Each group as the set of its numbers, with its confidence.
std::vector<std::pair<std::set<std::int64_t>, DuplicateConfidence>> groupsOf(std::vector<StoredSwimmer> swimmers) {
    DuplicateFinder finder(std::move(swimmers));
    std::vector<std::pair<std::set<std::int64_t>, DuplicateConfidence>> groups;
    for (const auto& group : finder.groups()) {
        std::set<std::int64_t> nums;
        for (std::size_t member : group.members) nums.insert(finder.swimmers()[member].num);
        groups.emplace_back(nums, group.confidence);
    }
    return groups;
}

TEST(DuplicateSwimmers, NamesCompareWithoutAccentsCaseHyphensOrSpaces) {
    EXPECT_EQ(identityKey("Le Gall-Éloïse"), "LEGALLELOISE");
    EXPECT_EQ(identityKey("LEGALL ELOISE"), "LEGALLELOISE");
    EXPECT_EQ(identityKey("d'Œuvray"), "DOEUVRAY");
    EXPECT_EQ(identityKey("  "), "");
}

TEST(DuplicateSwimmers, EachKindOfEvidenceAndItsConfidence) {
    auto groups = groupsOf({
        swimmer(1, "DUPONT", "Marie", "20080512"),
        swimmer(2, "Dupont", "MARIE", "20080512"),                     // same person, other case: high
        swimmer(3, "MARTIN", "Léa", "20090101", "F", "CODE1"),
        swimmer(4, "MARTINEZ", "Zoé", "20100101", "F", "CODE1"),      // same code, other name: certain
        swimmer(5, "LEROY", "Paul", "20100202", "M"),
        swimmer(6, "LEROI", "Paul", "20100202", "M"),                 // one letter apart: possible
        swimmer(7, "BERNARD", "Inès", "20110303"),
        swimmer(8, "BERNARD-PETIT", "Ines", "20110303"),              // one part more: possible
        swimmer(9, "PETIT", "Jade", "20120404"),
        swimmer(10, "PETIT", "Lou", "20120404"),                      // twins: not one person
        swimmer(11, "ROUX", "Camille", "20130505", "F"),
        swimmer(12, "ROUA", "Camille", "20130505", "M"),              // close names, other sex: not paired
        swimmer(13, "SIMON", "Noa", ""),
        swimmer(14, "SIMON", "Noa", ""),                              // no birth date: nothing to go on
    });
    using C = DuplicateConfidence;
    std::vector<std::pair<std::set<std::int64_t>, DuplicateConfidence>> expected = {
        {{3, 4}, C::Certain}, {{1, 2}, C::High}, {{5, 6}, C::Possible}, {{7, 8}, C::Possible}};
    EXPECT_EQ(groups, expected);
}

TEST(DuplicateSwimmers, LinkedRowsMakeOneGroupOfTheStrongestConfidence) {
    auto groups = groupsOf({
        swimmer(1, "DUPONT", "Marie", "20080512"),
        swimmer(2, "DUPONT", "Marie", "20080512", "F", "CODE9"),
        swimmer(3, "DUPONT-MOREAU", "Marie", "20080512"),
        swimmer(4, "DURAND", "Anne", "20000101", "F", "CODE9"),
    });
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].first, (std::set<std::int64_t>{1, 2, 3, 4}));
    EXPECT_EQ(groups[0].second, DuplicateConfidence::Certain);
}

TEST(DuplicateSwimmers, ASwimmerOfAFileIsComparedWithTheStoredOnesButNotWithHisOwnRow) {
    DuplicateFinder finder({swimmer(1, "DUPONT", "Marie", "20080512"), swimmer(2, "MARTIN", "Léa", "20090101")});
    StoredSwimmer incoming = swimmer(0, "Dupont", "Marie", "20080512");
    auto links = finder.linksOf(incoming);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(finder.swimmers()[links[0].second].num, 1);
    EXPECT_EQ(links[0].confidence, DuplicateConfidence::High);
    EXPECT_TRUE(finder.linksOf(swimmer(1, "DUPONT", "Marie", "20080512")).empty());
}

}  // namespace
}  // namespace couloir
