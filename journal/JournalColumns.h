#pragma once

// Column numbers of the journal entry window's lines grid.
struct rJE {
    int LineNr = 0;
    int CostCentreDescription = 1;
    int AccountDescription = 2;
    int AccountNumber = 3;
    int LineDescription = 4;
    int Amount = 5;
};
inline const rJE JE;
