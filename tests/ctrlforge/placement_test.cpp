#include <gtest/gtest.h>

#include <vector>

#include "ctrlforge/placement.hpp"
#include "ctrlforge/writers.hpp"

namespace ctrlforge {
namespace {

struct WordShape {
    std::uint8_t placementClass;
    int given;  // -1: no given address
};

struct Placed {
    CtrlRun run;
    common::OutputSink listing;
    std::vector<int> addresses;
};

// Places words described by their class and given address; the list ends
// with its blank word, as after a parse.
void Place(Placed& p, const std::vector<WordShape>& shapes) {
    p.run.options.S = true;
    p.run.listing = &p.listing;
    int previous = -1;
    for (const WordShape& s : shapes) {
        MicroWord word;
        word.labelClass = s.placementClass;
        word.addressGiven = s.given >= 0;
        word.address = static_cast<std::int16_t>(s.given >= 0 ? s.given : previous + 1);
        previous = word.address;
        p.run.words.push_back(word);
    }
    p.run.words.emplace_back();
    PlaceWords(p.run);
    for (const MicroWord& w : p.run.words) p.addresses.push_back(w.address);
}

TEST(Placement, UnlabelledWordsFollowEachOther) {
    Placed p;
    Place(p, {{Unlabelled, 5}, {Labelled, -1}, {BranchTarget, 9}, {Unlabelled, -1}});
    EXPECT_FALSE(p.run.AssemblyFailed);
    EXPECT_EQ(p.addresses, (std::vector<int>{5, 6, 9, 10, 11}));
}

TEST(Placement, IopTargetsMoveToTheFollowingSixteenWordBlock) {
    Placed p;
    Place(p, {{Unlabelled, 0x12}, {IopTarget, -1}, {IopTarget, -1}});
    EXPECT_EQ(p.addresses, (std::vector<int>{0x12, 0x20, 0x30, 0x31}));
}

TEST(Placement, IraTargetsKeepTheLowTwoBits) {
    Placed p;
    Place(p, {{Unlabelled, 0x0D}, {IraTarget, -1}});
    EXPECT_EQ(p.addresses[1], 0x12);
    Placed q;
    Place(q, {{Unlabelled, 0x20}, {IraTarget, -1}});
    EXPECT_EQ(q.addresses[1], 0x31);
}

TEST(Placement, IabTargetsMoveToTheFollowingSixtyFourWordBlock) {
    Placed p;
    Place(p, {{Unlabelled, 0x1F}, {IabTarget, -1}});
    EXPECT_EQ(p.addresses[1], 0x40);
    Placed given;
    Place(given, {{Unlabelled, 0}, {IabTarget, 0x41}});
    EXPECT_FALSE(given.run.AssemblyFailed);
    EXPECT_EQ(given.addresses[1], 0x41);
}

TEST(Placement, MisalignedGivenAddressesFail) {
    Placed iab;
    Place(iab, {{Unlabelled, 0}, {IabTarget, 0x44}, {Unlabelled, -1}});
    EXPECT_TRUE(iab.run.AssemblyFailed);
    EXPECT_EQ(iab.listing.buffer, "ERROR: INVALID SPECIFIED ADDRESS IN 68\r\n");
    Placed iop;
    Place(iop, {{IopTarget, 0x18}});
    EXPECT_EQ(iop.listing.buffer, "ERROR: INVALID SPECIFIED ADDRESS IN 24\r\n");
    Placed ira;
    Place(ira, {{IraTarget, 0x15}});
    EXPECT_EQ(ira.listing.buffer, "ERROR: INVALID SPECIFIED ADDRESS IN 21\r\n");
    Placed ok;
    Place(ok, {{IraTarget, 0x23}});
    EXPECT_FALSE(ok.run.AssemblyFailed);
}

TEST(Placement, GivenAddressBehindAnAlignedWordFails) {
    Placed p;
    Place(p, {{Unlabelled, 0x05}, {IopTarget, -1}, {Unlabelled, 0x10}, {Unlabelled, -1}});
    EXPECT_TRUE(p.run.AssemblyFailed);
    EXPECT_EQ(p.listing.buffer, "ERROR: INVALID SPECIFIED ADDRESS IN 16\r\n");
    EXPECT_EQ(p.run.console, "");
}

TEST(Placement, FullControlStore) {
    std::vector<WordShape> shapes(4095, WordShape{Unlabelled, -1});
    Placed fits;
    Place(fits, shapes);
    EXPECT_FALSE(fits.run.AssemblyFailed);
    EXPECT_EQ(fits.addresses[4094], 4094);
    EXPECT_EQ(fits.addresses[4095], 4095);  // the blank word

    shapes.push_back(WordShape{Unlabelled, -1});
    Placed over;
    Place(over, shapes);
    EXPECT_TRUE(over.run.AssemblyFailed);
    EXPECT_EQ(over.run.console, "ADRS OVER\n");
    EXPECT_EQ(over.listing.buffer, "ERROR: INVALID SPECIFIED ADDRESS IN 4096\r\n");
}

TEST(Placement, AlignmentPastTheStoreIsAdrsOver) {
    Placed p;
    Place(p, {{Unlabelled, 0xFF0}, {IabTarget, -1}});
    EXPECT_TRUE(p.run.AssemblyFailed);
    EXPECT_EQ(p.run.console, "ADRS OVER\n");
    EXPECT_EQ(p.listing.buffer, "ERROR: INVALID SPECIFIED ADDRESS IN 4096\r\n");
}

TEST(ResolveTarget, BranchesTakeTheTargetAddressButGotoFetchKeepsItsLiteral) {
    CtrlRun run;
    MicroWord target;
    target.address = 0x105;
    run.words.push_back(target);
    run.labels.push_back(LabelEntry{{'L', ' ', ' ', ' ', ' ', ' ', ' ', ' '}, 0});
    for (std::uint8_t sq : {SqB, SqBP, SqBT, SqBF, SqIOP, SqIRA, SqIAB}) {
        MicroWord w;
        w.SQ = sq;
        w.refState = Resolved;
        w.target = 0;
        ResolveTarget(run, w);
        EXPECT_EQ(w.LT, 0x105) << int(sq);
    }
    MicroWord elseFetch;
    elseFetch.SQ = 84;
    elseFetch.TS = 93;
    elseFetch.refState = Resolved;
    elseFetch.target = 0;
    ResolveTarget(run, elseFetch);
    EXPECT_EQ(elseFetch.LT, 0x105);
    MicroWord gotoFetch;
    gotoFetch.SQ = 84;
    gotoFetch.TS = 100;
    gotoFetch.LT = 7;
    ResolveTarget(run, gotoFetch);
    EXPECT_EQ(gotoFetch.LT, 7);
    MicroWord ret;
    ret.SQ = 78;
    ret.LT = 3;
    ResolveTarget(run, ret);
    EXPECT_EQ(ret.LT, 3);
}

}  // namespace
}  // namespace ctrlforge
