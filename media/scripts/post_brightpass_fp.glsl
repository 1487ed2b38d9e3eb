#version 120
// Keeps what is brighter than the threshold (scaled to 0..1 above it), the
// start of both blooms.
uniform sampler2D scene;
uniform float threshold;
varying vec2 uv;

void main()
{
    vec3 c = texture2D(scene, uv).rgb;
    float luma = dot(c, vec3(0.299, 0.587, 0.114));
    float keep = clamp((luma - threshold) / max(0.001, 1.0 - threshold), 0.0, 1.0);
    gl_FragColor = vec4(c * keep, 1.0);
}
