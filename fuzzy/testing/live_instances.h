#pragma once
// Counting live instances in tests, to prove that objects are freed exactly once and at the right
// moment: a test class holds a TLiveToken member bound to a TLiveCounter.

namespace fuzzy::testing {

class TLiveCounter {
 public:
  int Live() const { return FLive; }
  int Created() const { return FCreated; }
  int Destroyed() const { return FCreated - FLive; }

 private:
  friend class TLiveToken;
  int FLive = 0;
  int FCreated = 0;
};

class TLiveToken {
 public:
  explicit TLiveToken(TLiveCounter& Counter) : FCounter(&Counter) {
    ++Counter.FLive;
    ++Counter.FCreated;
  }
  ~TLiveToken() { --FCounter->FLive; }
  TLiveToken(const TLiveToken&) = delete;
  TLiveToken& operator=(const TLiveToken&) = delete;

 private:
  TLiveCounter* FCounter;
};

}  // namespace fuzzy::testing
