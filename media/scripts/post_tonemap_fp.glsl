#version 120
// Filmic tone curve with a warm grade: brighter, richer midtones, rolled-off
// highlights and lifted, cool shadows.
uniform sampler2D scene;
uniform float exposure;
varying vec2 uv;

vec3 filmic(vec3 x)
{
    return clamp((x * (2.51 * x + 0.03)) / (x * (2.43 * x + 0.59) + 0.14), 0.0, 1.0);
}

void main()
{
    vec3 c = texture2D(scene, uv).rgb * exposure;
    c = filmic(c);
    float grey = dot(c, vec3(0.299, 0.587, 0.114));
    c = mix(vec3(grey), c, 1.25);
    c *= mix(vec3(0.92, 0.97, 1.08), vec3(1.06, 1.0, 0.9), grey);
    gl_FragColor = vec4(clamp(c, 0.0, 1.0), 1.0);
}
