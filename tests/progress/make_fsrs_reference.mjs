// Makes fsrs_reference.inc, the answers of ts-fsrs 5.4.2 that FsrsTest holds our scheduler to.
// ts-fsrs is only run here, by hand, never by the build. To make the table again:
//
//   mkdir /tmp/fsrsref && cd /tmp/fsrsref && npm install ts-fsrs@5.4.2
//   node /path/to/tests/progress/make_fsrs_reference.mjs > /path/to/tests/progress/fsrs_reference.inc
//
// (run from that folder: ts-fsrs is looked up in the current folder's node_modules). A summary of
// where the full scheduler and the bare formulas disagree goes to stderr.
//
// Each row is one answer of one card: the card's number, the whole days since its last answer
// (0 for the first), the grade, then the memory state and interval that the bare formulas give
// (FSRSAlgorithm.next_state, next_interval) and the interval that the full scheduler (FSRS.next)
// gives on the same dates. The program grades only Again (wrong) and Good (right), with no
// learning steps and no fuzz.
import { createRequire } from 'node:module';
import path from 'node:path';

const kVersion = '5.4.2';
const kCards = 300;
const kSeed = 0x7a5e1d;

const require = createRequire(path.join(process.cwd(), 'package.json'));
const tsfsrs = require('ts-fsrs');
const installed = tsfsrs.FSRSVersion;  // "v5.4.2 using FSRS-6.0"
if (!installed.startsWith(`v${kVersion} `)) {
    console.error(`ts-fsrs ${installed} installed, the table is made with ${kVersion}`);
    process.exit(1);
}
const { fsrs, createEmptyCard, Rating } = tsfsrs;

const params = {
    w: tsfsrs.default_w,
    request_retention: 0.9,
    maximum_interval: 36500,
    enable_fuzz: false,
    enable_short_term: true,
    learning_steps: [],
    relearning_steps: [],
};
const f = fsrs(params);

// mulberry32: small, and the same on every Node, so reruns give the same cards.
function Random(seed) {
    let a = seed >>> 0;
    return () => {
        a = (a + 0x6d2b79f5) >>> 0;
        let t = a;
        t = Math.imul(t ^ (t >>> 15), t | 1);
        t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
}
const random = Random(kSeed);
const Between = (low, high) => low + Math.floor(random() * (high - low + 1));

function RandomGap() {
    const x = random();
    if (x < 0.2) return 0;
    if (x < 0.9) return Between(1, 60);
    return Between(61, 400);
}

// A few cards that random ones seldom make: a run of same-day misses down to the stability
// floor, long gaps that grow stability large, a lapse after a long good run, and lapses long
// after a low stability, where the cap on stability after a lapse decides.
const kAgain = Rating.Again;
const kGood = Rating.Good;
const cards = [
    Array.from({ length: 12 }, () => [0, kAgain]),
    Array.from({ length: 12 }, () => [400, kGood]),
    [[0, kGood], [0, kGood], [0, kGood], [0, kAgain], [0, kGood], [1, kGood], [0, kAgain]],
    [[0, kGood], [3, kGood], [10, kGood], [30, kGood], [90, kGood], [400, kAgain], [0, kAgain],
     [1, kGood], [0, kGood]],
    [[0, kAgain], [0, kAgain], [0, kAgain], [30, kAgain], [0, kAgain], [200, kAgain],
     [2, kAgain], [5, kGood]],
];
while (cards.length < kCards) {
    const length = Between(1, 12);
    const answers = [];
    for (let i = 0; i < length; ++i) {
        answers.push([i === 0 ? 0 : RandomGap(), random() < 0.3 ? kAgain : kGood]);
    }
    cards.push(answers);
}

const kDay = 24 * 60 * 60 * 1000;
const Num = (x) => String(x);
const lines = [];
let steps = 0;
let schedulerDiffers = 0;
let schedulerStateDiffers = 0;
const differsByGrade = { [kAgain]: 0, [kGood]: 0 };
const differsSameDay = { yes: 0, no: 0 };
let maxDifference = 0;

cards.forEach((answers, number) => {
    let state = null;
    let card = createEmptyCard(new Date(Date.UTC(2024, 0, 1, 9, 0, 0)));
    let when = card.due.getTime();
    for (const [gap, grade] of answers) {
        state = f.next_state(state, gap, grade);
        const interval = f.next_interval(state.stability, gap);

        when += gap * kDay;
        card = f.next(card, new Date(when), grade).card;
        const scheduled = card.scheduled_days;
        if (card.stability !== state.stability || card.difficulty !== state.difficulty) {
            ++schedulerStateDiffers;
        }
        if (scheduled !== interval) {
            ++schedulerDiffers;
            ++differsByGrade[grade];
            ++differsSameDay[gap === 0 ? 'yes' : 'no'];
            maxDifference = Math.max(maxDifference, Math.abs(scheduled - interval));
        }
        ++steps;
        const g = grade === kAgain ? 'kAgain' : 'kGood';
        lines.push(`    {${number}, ${gap}, ${g}, ${Num(state.stability)}, ${Num(state.difficulty)}, ` +
                   `${interval}, ${scheduled}},`);
    }
});

console.log(`// Made by make_fsrs_reference.mjs with ts-fsrs ${kVersion}: ${cards.length} cards, ` +
            `${steps} answers.`);
console.log('// {card, elapsed days, grade, stability, difficulty, interval, scheduler\'s interval}');
console.log(lines.join('\n'));

console.error(`ts-fsrs ${installed}: ${cards.length} cards, ${steps} answers`);
console.error(`scheduler's memory state differs from next_state: ${schedulerStateDiffers}`);
console.error(`scheduler's interval differs from next_interval: ${schedulerDiffers} ` +
              `(Again ${differsByGrade[kAgain]}, Good ${differsByGrade[kGood]}; ` +
              `same day ${differsSameDay.yes}, later ${differsSameDay.no}), by at most ${maxDifference} day(s)`);
