// The two shared all-zero records of the model, owned by no Song.
#include "music/Song.h"

Sample emptySample{};

// Its slots lead to emptySample rather than to null, so that no lookup through
// it can reach a missing record.
Instrument emptyInstrument{
    0,
    {&emptySample, &emptySample, &emptySample, &emptySample, &emptySample, &emptySample, &emptySample,
     &emptySample, &emptySample, &emptySample, &emptySample, &emptySample, &emptySample, &emptySample,
     &emptySample, &emptySample},
    {}, {}, {}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};
