/*
 *  Ludra sample script: a tiny scoreboard.
 *
 */
#include <core>
#include <float>

#define MAX_PLAYERS	(32)
#define SCORE_LIMIT 0x7F // hexadecimal limit
#define CLAMP(%1,%2) \
	((%1) > (%2) ? (%2) : (%1))
  #define TEAM_RED 1 /* a comment inside a directive
     that runs on */ + 0
#pragma dynamic 017

new Scores[MAX_PLAYERS];
new Float:Ratio = 1.5e3;
new const Greeting[] = "Hello, \"world\"\\n";
new LongText[] = "first part \
second part";
new Letter = '\'', Tab = '\t';

native SetScore(playerid, score);
forward OnScoreChanged(playerid);

stock Clamp(value, low = 0, high = 08)
{
	if (value < low) return low;
	else if (value >= high) return high;
	return value;
}

public OnScoreChanged(playerid)
{
	static count = 12UL, mask = 0xFFu;
	count <<= 2; count >>= 1; count += .5;
	mask ^= ~mask | (count & 3) && !mask || mask != 1;
	for (new i = 0; i < sizeof Scores; i++) Scores[i]--;
	while (count-- > 0) { mask %= 7; mask *= 3; }
	new Float:big = 1e5e5, odd = 12abc, dots = 1..2;
	switch (mask) { case 1..3: {} default: {} }
	Scores[playerid] = 0 # 1; // # after text is not a directive
	new Int = INT, Sizeof = int;
	printf("%d @ $ \`", count); /* unterminated

	still a comment */ return 1 / 2;
}

/* an open comment
   closed here */ new after;
main() { new é = 0; return é; }
new bad = 'unterminated
new tail = "unterminated
// the end \
new last = 0x;
