// The I2C panel's encoder, timed on the simulated board from its lines (quillbox-board
// --trace): a detent to the display showing its result, and a whole long list from its
// first entry to its last by turning, as a hand would.
#pragma once
#include <vector>

class BoardProcess;

struct DetentFigures {
  std::vector<double> toDisplay;  // a detent's last contact's change to the display's change, ms
};

// In a list, `detents` single detents down, slowly (one entry each), each timed.
DetentFigures TimeDetents(BoardProcess& board, int detents);

struct WholeListFigures {
  int detents = 0;        // turned until the last entry showed
  double turns = 0;       // of a 20-detent encoder
  double ms = -1;         // the first detent to the last entry shown
  double perSecond = 0;   // the detents' rate
};

// From the first entry of a list of `entries` songs (named "Song NNN", the last
// "Song <entries-3>"), quick turns of 20 detents until the last shows, at most ten.
WholeListFigures TimeWholeList(BoardProcess& board, int entries, double perSecond);
