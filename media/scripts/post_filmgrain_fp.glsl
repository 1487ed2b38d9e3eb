#version 120
// Old film: faded colour, a grain that changes every frame, a flicker and
// a darkened rim.
uniform sampler2D scene;
uniform sampler2D grain;
uniform float timeVal;
uniform vec4 viewport;
varying vec2 uv;

void main()
{
    vec3 c = texture2D(scene, uv).rgb;
    float grey = dot(c, vec3(0.299, 0.587, 0.114));
    c = mix(vec3(grey) * vec3(1.05, 0.98, 0.85), c, 0.45);
    // a new grain position about 24 times a second
    float frame = floor(timeVal * 24.0);
    vec2 jump = fract(vec2(frame * 0.6180339, frame * 0.7548776));
    vec2 g = uv * viewport.xy / 128.0 + jump;
    float n = texture2D(grain, g).r + texture2D(grain, g * 0.5 + 0.33).g - 1.0;
    float flicker = 1.0 + 0.04 * sin(frame * 2.7);
    vec2 d = uv - 0.5;
    float rim = 1.0 - smoothstep(0.3, 0.75, length(d));
    c = (c + n * 0.14) * flicker * (0.55 + 0.45 * rim);
    gl_FragColor = vec4(clamp(c, 0.0, 1.0), 1.0);
}
