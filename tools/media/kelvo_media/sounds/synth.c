/* kelvo_synth: the studio's music synthesiser. The media build (score.py)
 * writes a score as text, one instruction a line, and this program renders
 * it into the game's stereo file:
 *
 *   rate 44100                 samples a second
 *   length N                   samples rendered
 *   seed N                     seed of every random choice (noise, phases)
 *   reverb ROOM DAMP WIDTH WET the shared room (each 0..1)
 *   patch NAME key=value ...   an instrument (keys: struct Patch below)
 *   note NAME START LENGTH HZ VELOCITY [SEED]
 *                              START and LENGTH in samples; SEED makes the
 *                              note's noise and phases its own, so a note
 *                              repeated in a loop sounds the same
 *   keep FROM COUNT            write only these samples (a loop's second round)
 *   period N                   the piece loops every N samples: slow
 *                              modulations turn whole cycles in it
 *   fade SECONDS               fade the kept stretch out over its last seconds
 *   level TARGET CEILING       gain to a gated loudness of TARGET dBFS, held
 *                              back so no sample passes CEILING dBFS
 *   output PATH pcm16|float    render and write a WAV; prints
 *                              "frames F loudness L peak P gain G"
 *
 * Loudness is measured as the media build measures it everywhere: the RMS
 * of the 50 ms windows of the mono mix that are louder than -50 dBFS.
 *
 * It exists because a score of a few thousand notes rendered through sox
 * effect chains took ten times longer than the whole media build may take.
 * Deterministic: no clock, no threads, seeded generators, no fast-math.
 */
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#define MAX_PATCHES 48
#define MAX_UNISON 7
#define PI 3.14159265358979323846

typedef struct {
    char name[32];
    /* oscillator mix */
    double saw, square, tri, sine, noise, sub, pulse;
    int unison;
    double detune; /* cents between the outermost unison voices */
    /* pitch: semitones added at the start, decaying with this time constant */
    double pitch_env, pitch_decay;
    double vib_rate, vib_depth, vib_delay; /* Hz, cents, seconds */
    /* amplitude envelope, seconds and level */
    double attack, decay, sustain, release;
    /* low-pass filter: cutoff in Hz, following the key (0..1), opened by
     * the envelope (multiples of the cutoff) and by the velocity */
    double cutoff, keytrack, env_amount, filter_decay, resonance, vel_bright;
    double highpass;
    /* plucked string (Karplus-Strong) instead of the oscillators */
    int pluck;
    double pluck_decay, pluck_bright;
    /* two-operator FM instead of the oscillators */
    double fm_ratio, fm_index, fm_decay;
    /* up to three peaking filters on the instrument (formants, body) */
    double eq_f[3], eq_gain[3], eq_q[3];
    double pan, level, send;
    /* ensemble: two slowly wandering delayed copies, one each side; makes a
     * section of players from one voice at a fraction of unison's cost */
    double chorus;
    /* rendered at half the rate: for mellow instruments with nothing above
     * a quarter of the rate, it halves their cost */
    int half;
    float* buffer; /* at the instrument's own rate */
    /* the stretches its notes sound in (at its own rate), joined where they
     * meet: filters and mixing skip the silence between, where sparse drums
     * spend most of a piece */
    long (*spans)[2];
    int span_count, span_room;
} Patch;

static Patch patches[MAX_PATCHES];
static int patch_count = 0;
static long rate = 44100;
static long total = 0;
static uint64_t seed = 1;
static double room = 0.6, damp = 0.4, width = 0.8, wet = 0.2;
static long keep_from = 0, keep_count = -1, loop_period = 0;
static double fade_seconds = 0.0, target_db = 0.0, ceiling_db = 0.0;
static int levelled = 0;
static int line_number = 0;

static void fail(const char* message, const char* detail)
{
    fprintf(stderr, "kelvo_synth: line %d: %s%s%s\n", line_number, message, detail ? " " : "", detail ? detail : "");
    exit(2);
}

/* xorshift64*: the same numbers on every machine */
static uint64_t rng_state = 1;
static double rnd(void)
{
    rng_state ^= rng_state >> 12;
    rng_state ^= rng_state << 25;
    rng_state ^= rng_state >> 27;
    return (double)((rng_state * 2685821657736338717ULL) >> 11) / 9007199254740992.0;
}
static double noise(void) { return 2.0 * rnd() - 1.0; }

static Patch* find_patch(const char* name)
{
    for (int i = 0; i < patch_count; ++i)
        if (strcmp(patches[i].name, name) == 0) return &patches[i];
    return NULL;
}

static void set_key(Patch* p, const char* key, double v)
{
    struct { const char* name; double* field; } fields[] = {
        {"saw", &p->saw}, {"square", &p->square}, {"tri", &p->tri}, {"sine", &p->sine},
        {"noise", &p->noise}, {"sub", &p->sub}, {"pulse", &p->pulse}, {"detune", &p->detune},
        {"pitch_env", &p->pitch_env}, {"pitch_decay", &p->pitch_decay}, {"vib_rate", &p->vib_rate},
        {"vib_depth", &p->vib_depth}, {"vib_delay", &p->vib_delay}, {"attack", &p->attack},
        {"decay", &p->decay}, {"sustain", &p->sustain}, {"release", &p->release}, {"cutoff", &p->cutoff},
        {"keytrack", &p->keytrack}, {"env_amount", &p->env_amount}, {"filter_decay", &p->filter_decay},
        {"resonance", &p->resonance}, {"vel_bright", &p->vel_bright}, {"highpass", &p->highpass},
        {"pluck_decay", &p->pluck_decay}, {"pluck_bright", &p->pluck_bright}, {"fm_ratio", &p->fm_ratio},
        {"fm_index", &p->fm_index}, {"fm_decay", &p->fm_decay}, {"eq1_f", &p->eq_f[0]},
        {"eq1_gain", &p->eq_gain[0]}, {"eq1_q", &p->eq_q[0]}, {"eq2_f", &p->eq_f[1]},
        {"eq2_gain", &p->eq_gain[1]}, {"eq2_q", &p->eq_q[1]}, {"eq3_f", &p->eq_f[2]},
        {"eq3_gain", &p->eq_gain[2]}, {"eq3_q", &p->eq_q[2]}, {"pan", &p->pan}, {"level", &p->level},
        {"send", &p->send}, {"chorus", &p->chorus},
    };
    if (strcmp(key, "unison") == 0) {
        if (v < 1 || v > MAX_UNISON) fail("unison must be 1 to 7", NULL);
        p->unison = (int)v;
        return;
    }
    if (strcmp(key, "pluck") == 0) {
        p->pluck = v != 0.0;
        return;
    }
    if (strcmp(key, "half") == 0) {
        p->half = v != 0.0;
        return;
    }
    for (size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i) {
        if (strcmp(key, fields[i].name) == 0) {
            *fields[i].field = v;
            return;
        }
    }
    fail("unknown patch key", key);
}

/* sine from a table: a libm sine per sample and voice was most of the time */
#define SINE_SIZE 4096
static double sine_table[SINE_SIZE + 1];
static void init_sine(void)
{
    for (int i = 0; i <= SINE_SIZE; ++i) sine_table[i] = sin(2.0 * PI * i / SINE_SIZE);
}
static double fast_sine(double phase) /* phase in cycles, 0 <= phase < 1 */
{
    double x = phase * SINE_SIZE;
    int i = (int)x;
    double fr = x - i;
    return sine_table[i] + fr * (sine_table[i + 1] - sine_table[i]);
}
static double wrap(double phase) { return phase >= 1.0 ? phase - 1.0 : phase; }

static double poly_blep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

/* Andrew Simper's trapezoidal state-variable filter: stable at any cutoff */
typedef struct { double ic1, ic2, a1, a2, a3, k; } Svf;
static void svf_set(Svf* f, double cutoff, double q, double sample_rate)
{
    double nyquist = 0.49 * sample_rate;
    if (cutoff > nyquist) cutoff = nyquist;
    if (cutoff < 10.0) cutoff = 10.0;
    double g = tan(PI * cutoff / sample_rate);
    f->k = 1.0 / q;
    f->a1 = 1.0 / (1.0 + g * (g + f->k));
    f->a2 = g * f->a1;
    f->a3 = g * f->a2;
}
static double svf_low(Svf* f, double v0)
{
    double v3 = v0 - f->ic2;
    double v1 = f->a1 * f->ic1 + f->a2 * v3;
    double v2 = f->ic2 + f->a2 * f->ic1 + f->a3 * v3;
    f->ic1 = 2.0 * v1 - f->ic1;
    f->ic2 = 2.0 * v2 - f->ic2;
    return v2;
}

static long patch_rate(const Patch* p) { return p->half ? rate / 2 : rate; }

static void add_span(Patch* p, long start, long end, long join)
{
    if (p->span_count > 0) {
        long* last = p->spans[p->span_count - 1];
        if (start <= last[1] + join && start >= last[0]) {
            if (end > last[1]) last[1] = end;
            return;
        }
    }
    if (p->span_count == p->span_room) {
        p->span_room = p->span_room ? 2 * p->span_room : 64;
        p->spans = realloc(p->spans, (size_t)p->span_room * sizeof *p->spans);
        if (!p->spans) fail("out of memory", NULL);
    }
    p->spans[p->span_count][0] = start;
    p->spans[p->span_count][1] = end;
    ++p->span_count;
}

/* One note into its instrument's buffer; all times at the instrument's rate. */
static void render_note(Patch* p, long start_full, long length_full, double hz, double velocity)
{
    const int div = p->half ? 2 : 1;
    const double sr = (double)patch_rate(p);
    const long size = total / div + 1;
    long start = start_full / div, length = length_full / div;
    if (length < 1) length = 1;
    long release = (long)(p->release * sr);
    /* the note's own end; the render may stop sooner, but a note cut by the
     * end of a loop must sound as it does elsewhere */
    long natural_end = start + length + release;
    long end = natural_end > size ? size : natural_end;
    if (start >= size || hz <= 0.0 || hz >= 0.5 * sr) return;
    add_span(p, start, end, (long)(0.6 * sr));

    double phase[MAX_UNISON], ratio[MAX_UNISON];
    int voices = p->unison > 0 ? p->unison : 1;
    for (int u = 0; u < voices; ++u) {
        phase[u] = rnd();
        double spread = voices == 1 ? 0.0 : ((double)u / (voices - 1) - 0.5) * p->detune;
        ratio[u] = pow(2.0, spread / 1200.0);
    }
    double sub_phase = 0.0, mod_phase = 0.0, car_phase = 0.0;
    Svf filter = {0};
    double cutoff_base = p->cutoff > 0 ? p->cutoff * pow(hz / 261.63, p->keytrack)
                                          * (1.0 + p->vel_bright * (velocity - 0.5)) : 0.0;
    double q = p->resonance > 0.5 ? p->resonance : 0.707;
    /* plucked string: a delay line of one period, excited by filtered noise */
    float* string = NULL;
    long period = 0, cursor = 0;
    double frac = 0.0, last = 0.0;
    if (p->pluck) {
        double exact = sr / hz;
        period = (long)exact;
        frac = exact - (double)period;
        if (period < 2) return;
        string = calloc((size_t)period + 2, sizeof(float));
        if (!string) fail("out of memory", NULL);
        double lp = 0.0, bright = p->pluck_bright > 0 ? p->pluck_bright : 0.5;
        for (long i = 0; i < period + 2; ++i) {
            lp += bright * (noise() - lp);
            string[i] = (float)lp;
        }
    }
    double env = 0.0, released_from = 0.0;
    double attack = p->attack * sr;
    /* per-sample factors of the exponential decay and release */
    double decay_coef = exp(-1.0 / (p->decay > 0 ? p->decay * sr : 1.0));
    double release_coef = release > 0 ? exp(-5.0 / (double)release) : 0.0;
    double decaying = 1.0, level = 0.0, f = hz;
    int modulated = p->vib_depth > 0.0 || p->pitch_env != 0.0;
    for (long n = start; n < end; ++n) {
        long t = n - start;
        /* amplitude: linear attack, exponential decay to the sustain, release */
        if (t < length) {
            if (t < attack) {
                env = (double)t / attack;
            } else {
                env = p->sustain + (1.0 - p->sustain) * decaying;
                decaying *= decay_coef;
            }
            released_from = env;
            level = env;
        } else {
            /* exponential fall, drawn down to exactly zero at the end: no click */
            decaying = (t == length) ? released_from : decaying * release_coef;
            level = decaying * (double)(natural_end - n) / (double)release;
        }
        /* pitch (envelope, delayed vibrato) and filter move at a control rate */
        if ((t & 31) == 0) {
            double seconds = (double)t / sr;
            if (modulated) {
                double cents = 0.0;
                if (p->vib_depth > 0 && seconds > p->vib_delay) {
                    double ramp = (seconds - p->vib_delay) / 0.4;
                    cents = p->vib_depth * (ramp < 1.0 ? ramp : 1.0) * sin(2.0 * PI * p->vib_rate * seconds);
                }
                double semis = p->pitch_env != 0.0
                                   ? p->pitch_env * exp(-seconds / (p->pitch_decay > 0 ? p->pitch_decay : 0.05))
                                   : 0.0;
                f = hz * pow(2.0, (semis + cents / 100.0) / 12.0);
            }
            if (cutoff_base > 0.0) {
                double opening = p->env_amount * exp(-seconds / (p->filter_decay > 0 ? p->filter_decay : 0.3));
                svf_set(&filter, cutoff_base * (1.0 + opening), q, sr);
            }
        }
        double out = 0.0;
        if (string) {
            /* two-point average in the loop: the string's losses */
            long a = cursor, b = (cursor + 1) % (period + 1);
            double x = (1.0 - frac) * string[a] + frac * string[b];
            double y = (p->pluck_decay > 0 ? p->pluck_decay : 0.996) * 0.5 * (x + last);
            last = x;
            string[cursor] = (float)y;
            cursor = (cursor + 1) % (period + 1);
            out = y;
        } else if (p->fm_index > 0.0) {
            double index = p->fm_index * exp(-(double)t / sr / (p->fm_decay > 0 ? p->fm_decay : 1.0));
            double modulated_phase = car_phase + index * fast_sine(mod_phase) / (2.0 * PI);
            out = fast_sine(modulated_phase - floor(modulated_phase));
            car_phase = wrap(car_phase + f / sr);
            mod_phase += f * p->fm_ratio / sr;
            mod_phase -= floor(mod_phase);
        } else {
            for (int u = 0; u < voices; ++u) {
                double dt = f * ratio[u] / sr;
                double ph = phase[u];
                double v = 0.0;
                if (p->saw != 0.0) v += p->saw * (2.0 * ph - 1.0 - poly_blep(ph, dt));
                if (p->square != 0.0) {
                    double width_ = p->pulse > 0 ? p->pulse : 0.5;
                    double sq = ph < width_ ? 1.0 : -1.0;
                    sq += poly_blep(ph, dt);
                    double shifted = ph - width_ + (ph < width_ ? 1.0 : 0.0);
                    sq -= poly_blep(shifted, dt);
                    v += p->square * sq;
                }
                if (p->tri != 0.0) v += p->tri * (ph < 0.5 ? 4.0 * ph - 1.0 : 3.0 - 4.0 * ph);
                if (p->sine != 0.0) v += p->sine * fast_sine(ph);
                out += v;
                phase[u] = wrap(ph + dt);
            }
            out /= voices;
            if (p->sub != 0.0) {
                out += p->sub * fast_sine(sub_phase);
                sub_phase = wrap(sub_phase + 0.5 * f / sr);
            }
            if (p->noise != 0.0) out += p->noise * noise();
        }
        if (cutoff_base > 0.0) out = svf_low(&filter, out);
        p->buffer[n] += (float)(out * level * velocity);
    }
    free(string);
}

/* RBJ peaking and high-pass biquads on a whole instrument */
static void biquad(float* x, long count, double b0, double b1, double b2, double a0, double a1, double a2)
{
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    b0 /= a0; b1 /= a0; b2 /= a0; a1 /= a0; a2 /= a0;
    for (long n = 0; n < count; ++n) {
        double y = b0 * x[n] + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1; x1 = x[n];
        y2 = y1; y1 = y;
        x[n] = (float)y;
    }
}
static void peaking(float* x, long count, double sr, double f, double gain_db, double q)
{
    double A = pow(10.0, gain_db / 40.0), w = 2.0 * PI * f / sr, alpha = sin(w) / (2.0 * q);
    biquad(x, count, 1 + alpha * A, -2 * cos(w), 1 - alpha * A, 1 + alpha / A, -2 * cos(w), 1 - alpha / A);
}
static void highpass(float* x, long count, double sr, double f)
{
    double w = 2.0 * PI * f / sr, alpha = sin(w) / (2.0 * 0.707);
    biquad(x, count, (1 + cos(w)) / 2, -(1 + cos(w)), (1 + cos(w)) / 2, 1 + alpha, -2 * cos(w), 1 - alpha);
}

/* The room: eight damped combs and four all-passes a side, the classic
 * Schroeder-Moorer design; the right side's delays a little longer */
typedef struct { float* line; long size, pos; double store; } Comb;
typedef struct { float* line; long size, pos; } Allpass;
static const long comb_tuning[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
static const long allpass_tuning[4] = {556, 441, 341, 225};

static void reverb(const float* send, float* left, float* right, long count)
{
    /* The room runs at half the rate: its tail is damped above a few kHz
     * anyway, and it was a third of the whole render. Pairs of samples go
     * in averaged and come out drawn between. */
    long half = count / 2 + 1;
    double scale = (double)rate / 2.0 / 44100.0;
    double feedback = 0.7 + 0.28 * room, damping = 0.4 * damp;
    float* wet_side[2] = {calloc((size_t)half + 1, sizeof(float)), calloc((size_t)half + 1, sizeof(float))};
    if (!wet_side[0] || !wet_side[1]) fail("out of memory", NULL);
    for (int side = 0; side < 2; ++side) {
        Comb combs[8];
        Allpass passes[4];
        long spread = side ? 23 : 0;
        for (int i = 0; i < 8; ++i) {
            combs[i].size = (long)((comb_tuning[i] + spread) * scale);
            combs[i].line = calloc((size_t)combs[i].size, sizeof(float));
            combs[i].pos = 0;
            combs[i].store = 0;
        }
        for (int i = 0; i < 4; ++i) {
            passes[i].size = (long)((allpass_tuning[i] + spread) * scale);
            passes[i].line = calloc((size_t)passes[i].size, sizeof(float));
            passes[i].pos = 0;
        }
        float* out = wet_side[side];
        for (long n = 0; n < half; ++n) {
            long a = 2 * n, b = 2 * n + 1 < count ? 2 * n + 1 : a;
            double input = a < count ? 0.5 * ((double)send[a] + send[b]) * 0.015 : 0.0;
            double sum = 0.0;
            for (int i = 0; i < 8; ++i) {
                Comb* c = &combs[i];
                double y = c->line[c->pos];
                c->store = y * (1.0 - damping) + c->store * damping;
                c->line[c->pos] = (float)(input + c->store * feedback);
                if (++c->pos >= c->size) c->pos = 0;
                sum += y;
            }
            for (int i = 0; i < 4; ++i) {
                Allpass* ap = &passes[i];
                double buffered = ap->line[ap->pos];
                double y = -sum + buffered;
                ap->line[ap->pos] = (float)(sum + buffered * 0.5);
                if (++ap->pos >= ap->size) ap->pos = 0;
                sum = y;
            }
            out[n] = (float)(sum * wet * 3.0);
        }
        for (int i = 0; i < 8; ++i) free(combs[i].line);
        for (int i = 0; i < 4; ++i) free(passes[i].line);
    }
    /* width: each side takes some of the other */
    double mix = (1.0 - width) * 0.5;
    for (long n = 0; n < count; ++n) {
        long i = n / 2;
        double fr = (n & 1) ? 0.5 : 0.0;
        double l = (1.0 - fr) * wet_side[0][i] + fr * wet_side[0][i + 1];
        double r = (1.0 - fr) * wet_side[1][i] + fr * wet_side[1][i + 1];
        left[n] += (float)(l * (1.0 - mix) + r * mix);
        right[n] += (float)(r * (1.0 - mix) + l * mix);
    }
    free(wet_side[0]);
    free(wet_side[1]);
}

static void put32(FILE* f, uint32_t v) { unsigned char b[4] = {v, v >> 8, v >> 16, v >> 24}; fwrite(b, 1, 4, f); }
static void put16(FILE* f, uint16_t v) { unsigned char b[2] = {v, v >> 8}; fwrite(b, 1, 2, f); }

/* Each instrument into the bus of its own rate: filters, place left to
 * right, the room's share and the ensemble. The half-rate bus joins the
 * full one once at the end, drawn between its samples. */
static void mix_span(Patch* p, double sr, long from, long to, long bus_size, float* left, float* right, float* send)
{
    float* x = p->buffer + from;
    long span = to - from;
    if (p->highpass > 0) highpass(x, span, sr, p->highpass);
    for (int k = 0; k < 3; ++k)
        if (p->eq_f[k] > 0) peaking(x, span, sr, p->eq_f[k], p->eq_gain[k], p->eq_q[k] > 0 ? p->eq_q[k] : 1.0);
    double angle = (p->pan + 1.0) * PI / 4.0;
    double gl = cos(angle) * p->level, gr = sin(angle) * p->level, gs = p->level * p->send;
    for (long n = from; n < to; ++n) {
        double v = p->buffer[n];
        left[n] += (float)(v * gl);
        right[n] += (float)(v * gr);
        send[n] += (float)(v * gs);
    }
    if (p->chorus > 0.0) {
        const double base[2] = {0.013 * sr, 0.019 * sr};
        double lfo[2] = {0.31, 0.23};
        if (loop_period > 0) {
            /* whole cycles in a loop, or its end would not meet its start */
            double seconds = (double)loop_period / rate;
            for (int k = 0; k < 2; ++k) lfo[k] = fmax(1.0, floor(lfo[k] * seconds + 0.5)) / seconds;
        }
        double depth = p->chorus * 0.001 * sr;
        /* the copies lag: they sound on past the stretch by their delay */
        long lag = (long)(base[1] + 2.0 * depth) + 2;
        for (int side = 0; side < 2; ++side) {
            float* out = side ? right : left;
            double g = p->level * 0.7;
            double delay = base[side];
            long end = to + lag < bus_size ? to + lag : bus_size;
            for (long n = from; n < end; ++n) {
                if ((n & 31) == 0 || n == from) delay = base[side] + depth * (1.0 + sin(2.0 * PI * lfo[side] * n / sr + side));
                double at = (double)n - delay;
                if (at < (double)from) continue;
                long j = (long)at;
                if (j + 1 >= to) break;
                double fr = at - (double)j;
                out[n] += (float)(g * ((1.0 - fr) * p->buffer[j] + fr * p->buffer[j + 1]));
            }
        }
    }
}

static void mix_bus(int half, float* left, float* right, float* send, long count)
{
    const double sr = half ? rate / 2.0 : (double)rate;
    /* filters ring on a little past the last note of a stretch */
    const long ring = (long)(0.5 * sr);
    for (int i = 0; i < patch_count; ++i) {
        Patch* p = &patches[i];
        if (!p->buffer || p->half != half) continue;
        for (int k = 0; k < p->span_count; ++k) {
            long from = p->spans[k][0];
            long to = p->spans[k][1] + ring;
            if (k + 1 < p->span_count && to > p->spans[k + 1][0]) to = p->spans[k + 1][0];
            if (to > count) to = count;
            if (from < to) mix_span(p, sr, from, to, count, left, right, send);
        }
        free(p->buffer);
        free(p->spans);
        p->buffer = NULL;
        p->spans = NULL;
    }
}

static void mix_patches(float* left, float* right, float* send)
{
    mix_bus(0, left, right, send, total);
    long half = total / 2 + 2;
    float* bus[3];
    for (int k = 0; k < 3; ++k) {
        bus[k] = calloc((size_t)half + 1, sizeof(float));
        if (!bus[k]) fail("out of memory", NULL);
    }
    mix_bus(1, bus[0], bus[1], bus[2], half);
    float* full[3] = {left, right, send};
    for (int k = 0; k < 3; ++k) {
        for (long n = 0; n < total; ++n) {
            long i = n / 2;
            full[k][n] += (n & 1) ? 0.5f * (bus[k][i] + bus[k][i + 1]) : bus[k][i];
        }
        free(bus[k]);
    }
}

/* gated loudness and sample peak of the kept stretch, in dBFS, as they
 * would be after gain_db: the gate is absolute, so a gain changes which
 * windows count */
static void measure(const float* left, const float* right, long from, long count, double gain_db, double* loudness,
                    double* peak)
{
    long window = (long)(0.05 * rate);
    double scale = pow(10.0, gain_db / 10.0);
    double gate = pow(10.0, -50.0 / 10.0) / scale, energy = 0.0, top = 0.0;
    long loud = 0;
    for (long w = 0; w + window <= count; w += window) {
        double e = 0.0;
        for (long k = 0; k < window; ++k) {
            double m = 0.5 * ((double)left[from + w + k] + right[from + w + k]);
            e += m * m;
        }
        e /= (double)window;
        if (e > gate) {
            energy += e;
            ++loud;
        }
    }
    for (long n = from; n < from + count; ++n) {
        if (fabs(left[n]) > top) top = fabs(left[n]);
        if (fabs(right[n]) > top) top = fabs(right[n]);
    }
    *loudness = loud ? 10.0 * log10(energy * scale / (double)loud) : -180.0;
    *peak = top > 0.0 ? 20.0 * log10(top) + gain_db : -180.0;
}

static void write_output(const char* path, int pcm16)
{
    if (total <= 0) fail("no length given before output", NULL);
    long from = keep_from, count = keep_count < 0 ? total - keep_from : keep_count;
    if (from < 0 || count <= 0 || from + count > total) fail("keep lies outside the rendered length", NULL);
    float* left = calloc((size_t)total, sizeof(float));
    float* right = calloc((size_t)total, sizeof(float));
    float* send = calloc((size_t)total, sizeof(float));
    if (!left || !right || !send) fail("out of memory", NULL);
    mix_patches(left, right, send);
    reverb(send, left, right, total);
    free(send);
    for (long n = 0; n < total; ++n)
        if (!isfinite(left[n]) || !isfinite(right[n])) fail("the mix is not finite (an instrument blew up)", NULL);
    if (fade_seconds > 0.0) {
        long fade = (long)(fade_seconds * rate);
        if (fade > count) fade = count;
        for (long k = 0; k < fade; ++k) {
            /* half a cosine: gentle at both ends of the fade */
            double g = 0.5 + 0.5 * cos(PI * (double)(k + 1) / (double)fade);
            left[from + count - fade + k] *= (float)g;
            right[from + count - fade + k] *= (float)g;
        }
    }
    double loudness, peak, gain_db = 0.0;
    measure(left, right, from, count, 0.0, &loudness, &peak);
    if (levelled) {
        for (int k = 0; k < 4; ++k) { /* the gate moves with the gain: settle it */
            gain_db += target_db - loudness;
            measure(left, right, from, count, gain_db, &loudness, &peak);
        }
        if (peak > ceiling_db) {
            gain_db -= peak - ceiling_db;
            measure(left, right, from, count, gain_db, &loudness, &peak);
        }
    } else if (peak > -1.0) {
        gain_db = -1.0 - peak; /* float readers clip at full scale */
        measure(left, right, from, count, gain_db, &loudness, &peak);
    }
    double gain = pow(10.0, gain_db / 20.0);

    FILE* f = fopen(path, "wb");
    if (!f) fail("cannot write", path);
    int bytes_per = pcm16 ? 2 : 4;
    uint32_t bytes = (uint32_t)(count * 2 * bytes_per);
    fwrite("RIFF", 1, 4, f);
    if (pcm16) {
        put32(f, 36 + bytes); fwrite("WAVE", 1, 4, f);
        fwrite("fmt ", 1, 4, f); put32(f, 16); put16(f, 1); put16(f, 2); put32(f, (uint32_t)rate);
        put32(f, (uint32_t)rate * 4); put16(f, 4); put16(f, 16);
    } else {
        put32(f, 4 + 26 + 12 + 8 + bytes); fwrite("WAVE", 1, 4, f);
        fwrite("fmt ", 1, 4, f); put32(f, 18); put16(f, 3); put16(f, 2); put32(f, (uint32_t)rate);
        put32(f, (uint32_t)rate * 8); put16(f, 8); put16(f, 32); put16(f, 0);
        fwrite("fact", 1, 4, f); put32(f, 4); put32(f, (uint32_t)count);
    }
    fwrite("data", 1, 4, f); put32(f, bytes);
    enum { BLOCK = 4096 };
    static float floats[2 * BLOCK];
    static int16_t shorts[2 * BLOCK];
    rng_state = seed * 0xD1B54A32D192ED03ULL + 7; /* the dither's own sequence */
    for (long n = 0; n < count; n += BLOCK) {
        long block = count - n < BLOCK ? count - n : BLOCK;
        for (long k = 0; k < 2 * block; ++k) {
            double v = (k & 1 ? right : left)[from + n + k / 2] * gain;
            if (pcm16) {
                /* triangular dither of one step, then round */
                double s = v * 32767.0 + rnd() - rnd();
                s = floor(s + 0.5);
                shorts[k] = (int16_t)(s > 32767.0 ? 32767 : s < -32768.0 ? -32768 : s);
            } else {
                floats[k] = (float)v;
            }
        }
        fwrite(pcm16 ? (void*)shorts : (void*)floats, (size_t)bytes_per, (size_t)(2 * block), f);
    }
    if (fclose(f) != 0) fail("cannot finish", path);
    printf("frames %ld loudness %.2f peak %.2f gain %.2f\n", count, loudness, peak, gain_db);
    free(left);
    free(right);
}

int main(int argc, char** argv)
{
#if defined(__SSE__)
    /* filters and the room ringing down into denormal numbers ran a hundred
     * times slower; flushing them to zero changes nothing audible */
    _mm_setcsr(_mm_getcsr() | 0x8040);
#endif
    init_sine();
    FILE* in = argc > 1 ? fopen(argv[1], "r") : stdin;
    if (!in) {
        fprintf(stderr, "kelvo_synth: cannot read %s\n", argv[1]);
        return 2;
    }
    char line[4096];
    while (fgets(line, sizeof line, in)) {
        ++line_number;
        char* word = strtok(line, " \t\r\n");
        if (!word || word[0] == '#') continue;
        if (strcmp(word, "rate") == 0 || strcmp(word, "length") == 0 || strcmp(word, "seed") == 0 ||
            strcmp(word, "period") == 0) {
            char* value = strtok(NULL, " \t\r\n");
            char* rest;
            long v = value ? strtol(value, &rest, 10) : 0;
            if (!value || *rest || v <= 0) fail("expected a positive whole number after", word);
            if (word[0] == 'r') {
                if (v < 8000 || v > 192000) fail("rate must be 8000 to 192000", NULL);
                rate = v;
            } else if (word[0] == 'p') {
                if (v % 2) fail("a loop's period must be even (half-rate instruments)", NULL);
                loop_period = v;
            } else if (word[0] == 'l') {
                total = v;
            } else {
                seed = (uint64_t)v;
                rng_state = seed * 0x9E3779B97F4A7C15ULL + 1;
            }
        } else if (strcmp(word, "reverb") == 0 || strcmp(word, "level") == 0 || strcmp(word, "keep") == 0 ||
                   strcmp(word, "fade") == 0) {
            double v[4] = {0};
            int wanted = word[0] == 'r' ? 4 : word[0] == 'f' ? 1 : 2;
            for (int i = 0; i < wanted; ++i) {
                char* value = strtok(NULL, " \t\r\n");
                char* rest;
                if (!value) fail("too few numbers after", word);
                v[i] = strtod(value, &rest);
                if (*rest) fail("not a number after", word);
            }
            if (word[0] == 'r') {
                room = v[0]; damp = v[1]; width = v[2]; wet = v[3];
            } else if (word[0] == 'l') {
                target_db = v[0]; ceiling_db = v[1]; levelled = 1;
            } else if (word[0] == 'k') {
                keep_from = (long)v[0]; keep_count = (long)v[1];
            } else {
                fade_seconds = v[0];
            }
        } else if (strcmp(word, "patch") == 0) {
            char* name = strtok(NULL, " \t\r\n");
            if (!name || strlen(name) >= sizeof patches[0].name) fail("patch needs a short name", NULL);
            if (find_patch(name)) fail("patch given twice:", name);
            if (patch_count == MAX_PATCHES) fail("too many patches", NULL);
            Patch* p = &patches[patch_count++];
            memset(p, 0, sizeof *p);
            strcpy(p->name, name);
            p->unison = 1; p->sustain = 1.0; p->level = 1.0; p->attack = 0.005; p->release = 0.05;
            char* pair;
            while ((pair = strtok(NULL, " \t\r\n"))) {
                char* eq = strchr(pair, '=');
                if (!eq) fail("expected key=value, found", pair);
                *eq = 0;
                char* rest;
                double v = strtod(eq + 1, &rest);
                if (rest == eq + 1 || *rest) fail("not a number for", pair);
                set_key(p, pair, v);
            }
        } else if (strcmp(word, "note") == 0) {
            char* name = strtok(NULL, " \t\r\n");
            char* a = strtok(NULL, " \t\r\n"); char* b = strtok(NULL, " \t\r\n");
            char* c = strtok(NULL, " \t\r\n"); char* d = strtok(NULL, " \t\r\n");
            char* e = strtok(NULL, " \t\r\n");
            if (!d) fail("note needs PATCH START LENGTH HZ VELOCITY", NULL);
            Patch* p = find_patch(name);
            if (!p) fail("no such patch:", name);
            if (total <= 0) fail("length must come before the notes", NULL);
            if (!p->buffer) {
                p->buffer = calloc((size_t)(total / (p->half ? 2 : 1)) + 2, sizeof(float));
                if (!p->buffer) fail("out of memory", NULL);
            }
            long start = atol(a), length = atol(b);
            if (start < 0 || length <= 0) fail("a note needs a start >= 0 and a length > 0", NULL);
            if (e) rng_state = (seed ^ (uint64_t)atol(e) * 0x2545F4914F6CDD1DULL) * 0x9E3779B97F4A7C15ULL + 1;
            render_note(p, start, length, atof(c), atof(d));
        } else if (strcmp(word, "output") == 0) {
            char* path = strtok(NULL, " \t\r\n");
            char* format = strtok(NULL, " \t\r\n");
            if (!path || !format) fail("output needs a path and pcm16 or float", NULL);
            if (strcmp(format, "pcm16") != 0 && strcmp(format, "float") != 0) fail("unknown output format", format);
            write_output(path, format[0] == 'p');
        } else {
            fail("unknown instruction", word);
        }
    }
    return 0;
}
