#pragma once

// Column numbers of the trial-balance grid; the period columns follow OpeningBalance.
struct rTB {
    int PostingType = 0;
    int CompanyName = 2;
    int CostCentreNumber = 3;
    int CostCentreDescription = 5;
    int ObjectNumber = 4;
    int ObjectDescription = 6;
    int Level = 8;
    int UseForAccount = 9;
    int AccountDescription = 7;
    int Classification = 1;
    int OpeningBalance = 10;
};
inline const rTB TB;
