"""The instruments of our scores: patches for the studio synthesiser
(synth.c; its struct Patch explains each key). Pans place the players on
one stage for every piece: strings to the left, winds to the right, the low
end and the drums in the middle. The mellow ones (half=1) are rendered at
half the rate: nothing they play reaches above 11 kHz.
"""


class Instrument:
    """patch: the synthesiser's keys and values. fixed: seconds every note
    lasts whatever the score writes (drums ring their own length). hz: the
    pitch of an unpitched drum. jitter: seconds of a player's unevenness."""

    def __init__(self, name, patch, fixed=None, hz=None, jitter=0.004):
        self.name = name
        self.patch = dict(patch)
        self.fixed = fixed
        self.hz = hz
        self.jitter = jitter

    def line(self):
        return "patch %s %s" % (self.name, " ".join("%s=%s" % (k, _num(v)) for k, v in sorted(self.patch.items())))


def _num(v):
    return ("%.6f" % v).rstrip("0").rstrip(".") if isinstance(v, float) else str(v)


def orchestra():
    bowed = dict(saw=1.0, unison=1, chorus=4.0, vib_rate=5.3, vib_depth=7.0, vib_delay=0.35)
    return {i.name: i for i in [
        # plucked and struck
        Instrument("harp", dict(pluck=1, pluck_decay=0.9975, pluck_bright=0.5, attack=0.001, release=0.9,
                                pan=-0.4, level=1.1, send=0.45)),
        Instrument("guitar", dict(pluck=1, pluck_decay=0.994, pluck_bright=0.35, attack=0.002, release=0.25,
                                  pan=0.3, level=0.9, send=0.25)),
        Instrument("bell", dict(fm_ratio=3.5, fm_index=2.0, fm_decay=0.5, attack=0.001, decay=0.9, sustain=0.0,
                                release=1.6, pan=0.45, level=0.35, send=0.6)),
        Instrument("celesta", dict(fm_ratio=4.0, fm_index=1.1, fm_decay=0.25, attack=0.001, decay=0.45,
                                   sustain=0.0, release=0.8, pan=0.3, level=0.35, send=0.5)),
        # bowed
        Instrument("strings", dict(bowed, half=1, attack=0.35, decay=1.0, sustain=1.0, release=0.7, cutoff=1700.0,
                                   keytrack=0.5, vel_bright=0.9, pan=-0.2, level=0.32, send=0.5), jitter=0.008),
        Instrument("violins", dict(bowed, half=1, attack=0.12, release=0.4, cutoff=3000.0, keytrack=0.4,
                                   vel_bright=0.8, vib_depth=13.0, pan=-0.5, level=0.35, send=0.45),
                   jitter=0.006),
        Instrument("cellos", dict(bowed, half=1, attack=0.18, release=0.5, cutoff=1100.0, keytrack=0.3,
                                  vel_bright=0.8, pan=0.3, level=0.45, send=0.35), jitter=0.008),
        Instrument("staccato", dict(half=1, saw=1.0, unison=2, detune=12.0, attack=0.006, decay=0.11, sustain=0.2,
                                    release=0.08, cutoff=1300.0, env_amount=1.6, filter_decay=0.07,
                                    vel_bright=0.8, pan=-0.1, level=0.55, send=0.25), jitter=0.003),
        # blown
        Instrument("flute", dict(half=1, sine=0.8, tri=0.35, noise=0.035, attack=0.07, release=0.16, vib_rate=5.0,
                                 vib_depth=16.0, vib_delay=0.22, cutoff=5200.0, pan=0.35, level=0.55, send=0.45)),
        Instrument("clarinet", dict(half=1, square=0.7, sine=0.35, attack=0.045, release=0.13, vib_rate=4.8,
                                    vib_depth=6.0, vib_delay=0.3, cutoff=2100.0, keytrack=0.6,
                                    pan=0.45, level=0.45, send=0.4)),
        Instrument("horn", dict(half=1, saw=1.0, unison=2, detune=6.0, attack=0.07, decay=0.5, sustain=0.85,
                                release=0.25, cutoff=650.0, keytrack=0.7, env_amount=1.0, filter_decay=0.25,
                                vel_bright=1.4, eq1_f=450.0, eq1_gain=3.0, eq1_q=1.0, pan=0.2, level=0.5,
                                send=0.5), jitter=0.006),
        Instrument("choir", dict(half=1, saw=1.0, chorus=6.0, attack=0.45, release=0.8, cutoff=3000.0,
                                 vib_rate=5.5, vib_depth=10.0, vib_delay=0.4, highpass=150.0,
                                 eq1_f=700.0, eq1_gain=10.0, eq1_q=1.3, eq2_f=1150.0, eq2_gain=7.0, eq2_q=1.8,
                                 eq3_f=2700.0, eq3_gain=4.0, eq3_q=2.0, pan=0.05, level=0.12, send=0.7),
                   jitter=0.01),
        # the low end
        Instrument("bass", dict(half=1, tri=0.6, sine=0.6, saw=0.15, attack=0.01, decay=0.4, sustain=0.7, release=0.12,
                                cutoff=700.0, pan=0.0, level=0.55, send=0.15)),
        Instrument("drone", dict(half=1, saw=0.5, sine=0.6, unison=2, detune=8.0, attack=2.0, release=2.5,
                                 cutoff=380.0, pan=0.0, level=0.45, send=0.4), jitter=0.0),
        Instrument("timpani", dict(half=1, sine=1.0, noise=0.12, pitch_env=1.0, pitch_decay=0.08, attack=0.002,
                                   decay=0.55, sustain=0.0, release=0.5, cutoff=900.0, pan=0.1, level=0.9,
                                   send=0.4), fixed=1.5, jitter=0.002),
        # drums
        Instrument("kick", dict(half=1, sine=1.0, pitch_env=24.0, pitch_decay=0.025, attack=0.001, decay=0.16, sustain=0.0,
                                release=0.05, pan=0.0, level=0.8, send=0.1), fixed=0.3, hz=45.0, jitter=0.0),
        Instrument("taiko", dict(half=1, sine=1.0, noise=0.35, pitch_env=12.0, pitch_decay=0.04, attack=0.001, decay=0.3,
                                 sustain=0.0, release=0.2, cutoff=650.0, pan=-0.1, level=1.0, send=0.45),
                   fixed=0.8, hz=68.0, jitter=0.003),
        Instrument("snare", dict(noise=0.8, tri=0.45, pitch_env=5.0, pitch_decay=0.02, attack=0.001, decay=0.09,
                                 sustain=0.0, release=0.06, cutoff=6500.0, highpass=150.0, pan=0.1, level=0.45,
                                 send=0.3), fixed=0.25, hz=190.0, jitter=0.002),
        Instrument("hat", dict(noise=1.0, attack=0.001, decay=0.028, sustain=0.0, release=0.02, highpass=7000.0,
                               pan=0.3, level=0.25, send=0.15), fixed=0.08, hz=1000.0, jitter=0.002),
        Instrument("shaker", dict(noise=1.0, attack=0.02, decay=0.035, sustain=0.0, release=0.03, cutoff=8500.0,
                                  highpass=4000.0, pan=-0.3, level=0.25, send=0.2), fixed=0.1, hz=1000.0,
                   jitter=0.003),
        Instrument("cymbal", dict(noise=0.9, square=0.1, attack=0.002, decay=0.9, sustain=0.0, release=0.6,
                                  highpass=3500.0, pan=0.25, level=0.2, send=0.5), fixed=2.5, hz=5630.0,
                   jitter=0.0),
        Instrument("swell", dict(noise=1.0, attack=1.8, release=0.04, highpass=3000.0, cutoff=9000.0,
                                 pan=-0.2, level=0.16, send=0.5), jitter=0.0),
        Instrument("tom", dict(half=1, sine=1.0, noise=0.2, pitch_env=7.0, pitch_decay=0.06, attack=0.001, decay=0.25,
                               sustain=0.0, release=0.15, cutoff=1500.0, pan=-0.2, level=0.8, send=0.35),
                   fixed=0.6, hz=110.0, jitter=0.003),
        Instrument("hand", dict(sine=0.8, noise=0.25, pitch_env=4.0, pitch_decay=0.03, attack=0.001, decay=0.12,
                                sustain=0.0, release=0.08, cutoff=2500.0, pan=0.2, level=0.6, send=0.3),
                   fixed=0.35, hz=165.0, jitter=0.004),
    ]}
