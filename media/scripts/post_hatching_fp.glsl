#version 120
// Pen and ink: the darker a spot, the denser the strokes (three tone levels
// in the red, green and blue of the hatching picture), outlines where the
// brightness jumps, all on warm paper.
uniform sampler2D scene;
uniform sampler2D hatch;
uniform vec4 viewport;
varying vec2 uv;

float luma(vec2 p)
{
    return dot(texture2D(scene, p).rgb, vec3(0.299, 0.587, 0.114));
}

void main()
{
    float l = luma(uv);
    vec3 h = texture2D(hatch, uv * viewport.xy / 128.0).rgb;
    float ink = 1.0;
    ink = mix(ink, h.r, 1.0 - smoothstep(0.55, 0.75, l));
    ink = mix(ink, h.g, 1.0 - smoothstep(0.35, 0.55, l));
    ink = mix(ink, h.b, 1.0 - smoothstep(0.12, 0.35, l));
    vec2 t = viewport.zw;
    float gx = luma(uv + vec2(t.x, 0.0)) - luma(uv - vec2(t.x, 0.0));
    float gy = luma(uv + vec2(0.0, t.y)) - luma(uv - vec2(0.0, t.y));
    float outline = smoothstep(0.08, 0.25, length(vec2(gx, gy)));
    ink *= 1.0 - outline * 0.85;
    vec3 paper = vec3(0.96, 0.93, 0.86);
    vec3 pen = vec3(0.12, 0.1, 0.14);
    gl_FragColor = vec4(mix(pen, paper, ink), 1.0);
}
