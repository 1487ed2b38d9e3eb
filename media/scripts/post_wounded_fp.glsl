#version 120
// Hurt: the picture's edges flush red with a heartbeat, and the colour
// drains from the rest.
uniform sampler2D scene;
uniform float timeVal;
varying vec2 uv;

void main()
{
    vec3 c = texture2D(scene, uv).rgb;
    // two beats per 1.25 s; time wraps at 100 s, a whole number of beats
    float phase = fract(timeVal * 0.8);
    float beat = max(exp(-phase * 9.0), 0.7 * exp(-max(0.0, phase - 0.22) * 9.0) * step(0.22, phase));
    vec2 d = uv - 0.5;
    float edge = smoothstep(0.18, 0.55, length(d * vec2(1.1, 1.0)));
    float grey = dot(c, vec3(0.299, 0.587, 0.114));
    c = mix(c, vec3(grey), 0.35);
    vec3 blood = vec3(0.75, 0.02, 0.0);
    c = mix(c, blood, clamp(edge * (0.55 + 0.45 * beat), 0.0, 0.92));
    gl_FragColor = vec4(c, 1.0);
}
