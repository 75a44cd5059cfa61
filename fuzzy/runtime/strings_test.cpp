#include "fuzzy/runtime/strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fuzzy/runtime/exception.h"

namespace fuzzy {
namespace {

using Lines = std::vector<std::string>;

Lines LinesOf(const TStrings& Strings) {
  Lines Result;
  for (int I = 0; I < Strings.Count(); ++I) Result.push_back(Strings.Strings(I));
  return Result;
}

class TMarker : public TObject {};

class TOther : public TPersistent {
 public:
  std::string ClassName() const override { return "TOther"; }
};

TEST(StringList, AddInsertDeleteAndIndexOf) {
  auto List = MakeOwned<TStringList>();
  EXPECT_EQ(List->Add("b"), 0);
  EXPECT_EQ(List->Add("d"), 1);
  List->Insert(0, "a");
  List->Insert(2, "c");
  List->Insert(4, "e");  // Count: appends
  EXPECT_EQ(LinesOf(*List), (Lines{"a", "b", "c", "d", "e"}));
  List->Delete(1);
  EXPECT_EQ(LinesOf(*List), (Lines{"a", "c", "d", "e"}));
  EXPECT_EQ(List->IndexOf("d"), 2);
  EXPECT_EQ(List->IndexOf("D"), 2) << "case-insensitive by default";
  EXPECT_EQ(List->IndexOf("x"), -1);
  List->SetStrings(0, "A");
  EXPECT_EQ(List->Get(0), "A");
  List->Clear();
  EXPECT_EQ(List->Count(), 0);
}

TEST(StringList, BadIndexesRaiseListError) {
  auto List = MakeOwned<TStringList>();
  List->Add("a");
  try {
    List->Get(5);
    FAIL() << "no exception";
  } catch (const EListError& E) {
    EXPECT_STREQ(E.what(), "List index out of bounds (5)");
  }
  EXPECT_THROW(List->Get(-1), EListError);
  EXPECT_THROW(List->Delete(1), EListError);
  EXPECT_THROW(List->Put(1, "x"), EListError);
  EXPECT_THROW(List->Insert(2, "x"), EListError);
  EXPECT_THROW(List->GetObject(1), EListError);
  EXPECT_THROW(List->PutObject(1, nullptr), EListError);
  EXPECT_THROW(List->Names(1), EListError);
  EXPECT_EQ(LinesOf(*List), (Lines{"a"}));
}

TEST(StringList, ObjectsTravelWithTheirLinesAndAreNotOwned) {
  auto One = MakeOwned<TMarker>();
  auto Two = MakeOwned<TMarker>();
  auto List = MakeOwned<TStringList>();
  List->AddObject("one", One.get());
  List->Add("none");
  List->InsertObject(0, "two", Two.get());
  EXPECT_EQ(List->Objects(0), Two.get());
  EXPECT_EQ(List->Objects(1), One.get());
  EXPECT_EQ(List->Objects(2), nullptr);
  EXPECT_EQ(List->IndexOfObject(One.get()), 1);
  List->SetObjects(2, One.get());
  EXPECT_EQ(List->Objects(2), One.get());
  List->Put(1, "uno");
  EXPECT_EQ(List->Objects(1), One.get()) << "Put keeps the object";
  List->Delete(1);
  List->Clear();  // the markers stay alive: the list does not own them
  EXPECT_EQ(One->ClassName(), "TObject");
}

TEST(StringList, TextEndsEveryLineWithALineBreak) {
  auto List = MakeOwned<TStringList>();
  EXPECT_EQ(List->Text(), "");
  List->Add("a");
  List->Add("");
  List->Add("b");
  EXPECT_EQ(List->Text(), "a\n\nb\n");
  List->Clear();
  List->Add("(deffuzzy x\n  (range 0 1))");  // an entry may span lines
  EXPECT_EQ(List->Count(), 1);
  EXPECT_EQ(List->Text(), "(deffuzzy x\n  (range 0 1))\n");
}

TEST(StringList, SetTextSplitsAtCrLfAndCrLf) {
  auto List = MakeOwned<TStringList>();
  List->SetText("a\r\nb\nc\rd");
  EXPECT_EQ(LinesOf(*List), (Lines{"a", "b", "c", "d"}));
  List->SetText("a\n");
  EXPECT_EQ(LinesOf(*List), (Lines{"a"})) << "a final line break starts no line";
  List->SetText("a\n\nb\r\n\r\n");
  EXPECT_EQ(LinesOf(*List), (Lines{"a", "", "b", ""}));
  List->SetText("\n");
  EXPECT_EQ(LinesOf(*List), (Lines{""}));
  List->SetText("\r\r\n\n");
  EXPECT_EQ(LinesOf(*List), (Lines{"", "", ""}));
  List->SetText("");
  EXPECT_EQ(List->Count(), 0);
  List->SetText("x\ny\n");
  EXPECT_EQ(List->Text(), "x\ny\n") << "Text and SetText round-trip";
}

TEST(StringList, NameValueLookup) {
  auto List = MakeOwned<TStringList>();
  List->SetText("alpha=1\nnovalue\nBeta=x=y\n=empty name\ngamma=");
  EXPECT_EQ(List->Names(0), "alpha");
  EXPECT_EQ(List->Names(1), "");
  EXPECT_EQ(List->Names(2), "Beta");
  EXPECT_EQ(List->ValueFromIndex(2), "x=y") << "split at the first '='";
  EXPECT_EQ(List->ValueFromIndex(1), "");
  EXPECT_EQ(List->Names(3), "");
  EXPECT_EQ(List->ValueFromIndex(3), "empty name");
  EXPECT_EQ(List->IndexOfName("beta"), 2) << "case-insensitive";
  EXPECT_EQ(List->IndexOfName("novalue"), -1) << "a line without '=' has no name";
  EXPECT_EQ(List->IndexOfName("gamma"), 4);
  EXPECT_EQ(List->Values("ALPHA"), "1");
  EXPECT_EQ(List->Values("missing"), "");
  EXPECT_EQ(List->Values("gamma"), "");

  List->SetValues("alpha", "2");
  EXPECT_EQ(List->Strings(0), "alpha=2");
  List->SetValues("delta", "4");
  EXPECT_EQ(List->Strings(List->Count() - 1), "delta=4");
  List->SetValues("BETA", "z");
  EXPECT_EQ(List->Strings(2), "BETA=z");
  List->SetValues("alpha", "");
  EXPECT_EQ(List->IndexOfName("alpha"), -1) << "an empty value deletes the line";
  List->SetValues("missing", "");
  EXPECT_EQ(LinesOf(*List), (Lines{"novalue", "BETA=z", "=empty name", "gamma=", "delta=4"}));
}

TEST(StringList, CaseSensitiveMode) {
  auto List = MakeOwned<TStringList>();
  EXPECT_FALSE(List->CaseSensitive());
  List->SetText("Low=1\nlow=2");
  EXPECT_EQ(List->IndexOf("LOW=2"), 1);
  EXPECT_EQ(List->Values("low"), "1");
  List->SetCaseSensitive(true);
  EXPECT_EQ(List->IndexOf("LOW=2"), -1);
  EXPECT_EQ(List->Values("low"), "2");
  EXPECT_EQ(List->Values("Low"), "1");
  auto Sensitive = MakeOwned<TStringList>(true);
  EXPECT_TRUE(Sensitive->CaseSensitive());
  // Only ASCII letters fold; other bytes (UTF-8 included) compare as they are.
  List->SetCaseSensitive(false);
  List->Add("\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(List->IndexOf("\xC3\xA9T\xC3\xA9"), 2);
  EXPECT_EQ(List->IndexOf("\xC3\x89T\xC3\x89"), -1);
}

TEST(StringList, SortedModeKeepsTheLinesInOrder) {
  auto List = MakeOwned<TStringList>();
  List->SetText("pear\napple\nFig\n");
  List->SetSorted(true);
  EXPECT_EQ(LinesOf(*List), (Lines{"apple", "Fig", "pear"})) << "switching on sorts, case-insensitively";
  EXPECT_EQ(List->Add("banana"), 1);
  EXPECT_EQ(List->Add("zucchini"), 4);
  EXPECT_EQ(List->Add("APPLE"), 1) << "a duplicate is accepted after its equals";
  EXPECT_EQ(LinesOf(*List), (Lines{"apple", "APPLE", "banana", "Fig", "pear", "zucchini"}));
  EXPECT_EQ(List->IndexOf("Apple"), 0) << "the first of the equal lines";
  EXPECT_EQ(List->IndexOf("fig"), 3);
  EXPECT_EQ(List->IndexOf("grape"), -1);
  int Index = -1;
  EXPECT_FALSE(List->Find("grape", Index));
  EXPECT_EQ(Index, 4) << "where it would go";

  EXPECT_THROW(List->Insert(0, "x"), EListError);
  try {
    List->Put(0, "x");
    FAIL() << "no exception";
  } catch (const EListError& E) {
    EXPECT_STREQ(E.what(), "Operation not allowed on sorted list");
  }

  List->SetCaseSensitive(true);  // sorted again, by bytes
  EXPECT_EQ(LinesOf(*List), (Lines{"APPLE", "Fig", "apple", "banana", "pear", "zucchini"}));
  List->SetSorted(false);
  List->Insert(0, "x");
  EXPECT_EQ(List->Strings(0), "x");
}

TEST(StringList, SortedValuesStayInOrder) {
  auto List = MakeOwned<TStringList>();
  List->SetSorted(true);
  List->SetValues("b", "1");
  List->SetValues("a", "2");
  List->SetValues("b", "0");  // "b=0" still sorts after "a=2"
  EXPECT_EQ(LinesOf(*List), (Lines{"a=2", "b=0"}));
  List->SetValues("a", "9");
  EXPECT_EQ(LinesOf(*List), (Lines{"a=9", "b=0"}));
}

TEST(StringList, ChangeEventsAndUpdateBrackets) {
  auto List = MakeOwned<TStringList>();
  Lines Events;
  List->OnChanging = [&](TObject* Sender) {
    EXPECT_EQ(Sender, List.get());
    Events.push_back("changing " + std::to_string(List->Count()));
  };
  List->OnChange = [&](TObject*) { Events.push_back("change " + std::to_string(List->Count())); };
  List->Add("a");
  EXPECT_EQ(Events, (Lines{"changing 0", "change 1"}));

  Events.clear();
  List->BeginUpdate();
  List->BeginUpdate();
  List->Add("b");
  List->Delete(0);
  List->EndUpdate();
  EXPECT_EQ(Events, (Lines{"changing 1"})) << "nothing inside the bracket";
  List->EndUpdate();
  EXPECT_EQ(Events, (Lines{"changing 1", "change 1"})) << "one change from the outermost EndUpdate";

  Events.clear();
  List->SetText("x\ny\nz");
  EXPECT_EQ(Events, (Lines{"changing 1", "change 3"})) << "SetText is one change";

  auto Source = MakeOwned<TStringList>();
  Source->SetText("p\nq");
  Events.clear();
  List->Assign(Source.get());
  EXPECT_EQ(Events, (Lines{"changing 3", "change 2"})) << "Assign is one change";

  Events.clear();
  List->EndUpdate();  // unmatched: ignored
  List->Clear();
  List->Clear();  // already empty: no event
  EXPECT_EQ(Events, (Lines{"changing 2", "change 0"}));
}

TEST(StringList, AssignCopiesLinesAndObjects) {
  auto Marker = MakeOwned<TMarker>();
  auto Source = MakeOwned<TStringList>(true);
  Source->SetSorted(true);
  Source->AddObject("b=2", Marker.get());
  Source->Add("a=1");
  auto Dest = MakeOwned<TStringList>();
  Dest->Add("old");
  Dest->Assign(Source.get());
  EXPECT_EQ(LinesOf(*Dest), (Lines{"a=1", "b=2"}));
  EXPECT_EQ(Dest->Objects(1), Marker.get());
  EXPECT_FALSE(Dest->Sorted()) << "only lines and objects are copied, not the modes";
  EXPECT_FALSE(Dest->CaseSensitive());
  Dest->Assign(Dest.get());
  EXPECT_EQ(Dest->Count(), 2);

  auto Sorted = MakeOwned<TStringList>();
  Sorted->SetSorted(true);
  auto Unsorted = MakeOwned<TStringList>();
  Unsorted->SetText("c\na\nb");
  Sorted->Assign(Unsorted.get());
  EXPECT_EQ(LinesOf(*Sorted), (Lines{"a", "b", "c"})) << "a sorted list sorts what it receives";

  auto Other = MakeOwned<TOther>();
  try {
    Dest->Assign(Other.get());
    FAIL() << "no exception";
  } catch (const EConvertError& E) {
    EXPECT_STREQ(E.what(), "Cannot assign a TOther to a TStringList");
  }
}

TEST(StringList, AddStrings) {
  auto A = MakeOwned<TStringList>();
  A->SetText("1\n2");
  auto B = MakeOwned<TStringList>();
  B->Add("0");
  B->AddStrings(A.get());
  B->AddStrings(nullptr);
  EXPECT_EQ(LinesOf(*B), (Lines{"0", "1", "2"}));
}

}  // namespace
}  // namespace fuzzy
